#pragma once

// Where a control's description reaches the system's screen readers besides its accessible
// description: each system has its own answer (helptext_linux.cpp, helptext_windows.cpp).

class QString;
class QWidget;

namespace platform {

// Gives a described control the help text its system's screen readers read; true when that
// help text is the control's What's This, which the window then keeps from popping up.
bool giveHelpText(QWidget &control, const QString &description);

} // namespace platform
