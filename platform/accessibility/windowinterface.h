#pragma once

class QAccessibleInterface;
class QObject;

namespace platform {

// The interface of a registered form's window, or of a control of it that is hidden, or
// of a part of such a control; none for any other object.
QAccessibleInterface *accessibleFormOrHiddenControl(QObject *object);

} // namespace platform
