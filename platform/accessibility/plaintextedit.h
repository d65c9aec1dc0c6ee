#pragma once

class QAccessibleInterface;
class QPlainTextEdit;

namespace platform {

// What a screen reader reads of a multi-line text box: the report and the help text.
QAccessibleInterface *accessiblePlainTextEdit(QPlainTextEdit *edit);

} // namespace platform
