#pragma once

#include "calc/priceform.h"
#include "platform/window.h"

#include <cstdint>

// The form Velmora: its window, its control arrays and its three event handlers.
class Velmora final : public PriceForm
{
public:
    Velmora();

    platform::Window &window() { return m_window; }

    platform::TextBoxAdapter &Text2(std::int16_t index) override;
    platform::ListBoxAdapter &List1(std::int16_t index) override;

    void Form_Load();
    void Command1_Click(std::int16_t index);
    void List1_Click(std::int16_t index);

private:
    platform::Window m_window;
};
