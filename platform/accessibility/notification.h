#pragma once

class QAccessibleInterface;
class QObject;
class QWidget;

namespace platform {

// The notification a window announces through: made with the window's registration, a
// child object of the window that assistive technology finds as the window's last child.
void makeNotification(QWidget &window);
QObject *notificationOf(const QWidget &window);

// The interface of a notification; none for any other object.
QAccessibleInterface *accessibleNotification(QObject *object);

} // namespace platform
