#pragma once

#include "platform/controlname.h"
#include "platform/formdescription.h"
#include "platform/listbox.h"
#include "platform/textboxes.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>

class QAbstractButton;
class QLabel;

namespace platform {

// The window of a form, built from its description: fixed client size, every control at
// its place in twips, the tab order by tab index, labels naming their controls. A mistake in
// the description raises a DescriptionError here, before anything is shown. Controls are
// looked up by name; one that does not exist, or is of another kind, raises a RuntimeError.
class Window : public QWidget
{
public:
    explicit Window(const FormDescription &description);
    ~Window() override;

    TextBoxAdapter &textBox(const ControlName &name) const;
    ListBoxAdapter &listBox(const ControlName &name) const;
    QAbstractButton &button(const ControlName &name) const;
    QLabel &label(const ControlName &name) const;

    // The form's handlers, run one at a time as their events come, with runtime errors
    // reported (platform/errorreport.h).
    void onLoad(std::function<void()> handler);
    void onClick(const QString &array, std::function<void(std::int16_t)> handler);

    // Runs the Load handler, then shows the window with the focus on the first control of
    // the tab order.
    void start();

    static int pixels(int twips);

protected:
    void changeEvent(QEvent *event) override;

private:
    struct Element;
    class HeldUpdates;

    const Element &find(const ControlName &name) const;
    void addControl(const ControlDescription &description);
    void nameControlsByLabels(const FormDescription &description);
    void orderTabs();
    bool hides(const QWidget &control) const;
    void click(const ControlName &name);
    // Runs a handler, the text boxes' updates held until it ends.
    void dispatch(const std::function<void()> &handler);

    std::map<ControlName, std::unique_ptr<Element>> m_elements;
    // The control being made, while it is not among the elements yet.
    const ControlDescription *m_building = nullptr;
    std::function<void()> m_load;
    std::map<QString, std::function<void(std::int16_t)>> m_click;
    QWidget *m_firstInTabOrder = nullptr;
    // Keeps Shift+F1 from the controls that carry a What's This text.
    QObject *m_whatsThisKeys;
};

} // namespace platform
