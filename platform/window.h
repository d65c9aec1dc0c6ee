#pragma once

#include "platform/controls.h"
#include "platform/formdescription.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <utility>

class QAbstractButton;
class QLabel;

namespace platform {

// The window of a form, built from its description: fixed client size, every control at
// its place in twips, the tab order by tab index. Controls are fetched as array and index;
// a control that does not exist raises a RuntimeError.
class Window : public QWidget
{
public:
    explicit Window(const FormDescription &description);
    ~Window() override;

    TextBoxControl &textBox(const QString &array, std::int16_t index) const;
    ListBoxControl &listBox(const QString &array, std::int16_t index) const;
    QAbstractButton &button(const QString &array, std::int16_t index) const;
    QLabel &label(const QString &array, std::int16_t index) const;
    QWidget &control(const QString &array, std::int16_t index) const;

    // Handlers are run one at a time, each through runHandler.
    void onLoad(std::function<void()> handler);
    void onClick(const QString &array, std::function<void(std::int16_t)> handler);

    // Runs the Load handler, then shows the window with the focus on the first control of
    // the tab order.
    void start();

    static int pixels(int twips);

protected:
    void changeEvent(QEvent *event) override;

private:
    struct Control;
    class HeldDisplays;
    using Key = std::pair<QString, std::int16_t>;

    const Control &find(const QString &array, std::int16_t index) const;
    void addControl(const ControlDescription &description);
    void click(const QString &array, std::int16_t index);
    // Runs a handler through runHandler, the text boxes' displays held until it ends.
    void run(const std::function<void()> &handler);

    std::map<Key, std::unique_ptr<Control>> m_controls;
    std::function<void()> m_load;
    std::map<QString, std::function<void(std::int16_t)>> m_click;
    QWidget *m_firstInTabOrder = nullptr;
};

} // namespace platform
