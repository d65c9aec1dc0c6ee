#pragma once

class QAccessibleInterface;
class QLineEdit;

namespace platform {

// What a screen reader reads of a single-line text box: a figure box.
QAccessibleInterface *accessibleLineEdit(QLineEdit *edit);

} // namespace platform
