#pragma once

class QAccessibleInterface;
class QWidget;

namespace platform {

// What a screen reader reads of a text box, single-line or multi-line; none for any other
// widget.
QAccessibleInterface *accessibleTextBox(QWidget *widget);

} // namespace platform
