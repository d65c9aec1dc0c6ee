#pragma once

// The command buttons of a window. The window (platform/window.h) makes them and runs the
// form's Click handler when one is pressed.

#include <QPushButton>

class QKeyEvent;
class QPaintEvent;

namespace platform {

// A button of the graphical style: its face is its back colour, flat and exact, with a
// raised edge that sinks while it is pressed. The style's own buttons would shade the
// colour into a gradient.
class CommandButtonWidget final : public QPushButton
{
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace platform
