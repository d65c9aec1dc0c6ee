#pragma once

#include "calc/priceform.h"
#include "platform/window.h"

#include <cstdint>

class QAbstractButton;
class QLabel;

// The form Velmora: its window, its control arrays and its three event handlers.
class Velmora final : public PriceForm
{
public:
    Velmora();

    platform::Window &window() { return m_window; }

    platform::TextBoxAdapter &Text2(std::int16_t index) override;
    platform::ListBoxAdapter &List1(std::int16_t index) override;
    platform::TextBoxAdapter &Text1(std::int16_t index);
    QAbstractButton &Command1(std::int16_t index);
    QLabel &Label1(std::int16_t index);

    void Form_Load();
    void Command1_Click(std::int16_t index);
    void List1_Click(std::int16_t index);

private:
    platform::Window m_window;
};
