#pragma once

class QAccessibleInterface;
class QObject;
class QString;
class QWidget;

namespace platform {

// The notification a window announces through: made with the window's registration, a
// child object of the window that assistive technology finds as the window's last child.
void makeNotification(QWidget &window);
QObject *notificationOf(const QWidget &window);

// Shows the window's notification with the text, anew even when it already shows it.
void showNotification(QWidget &window, const QString &text);

// The interface of a notification; none for any other object.
QAccessibleInterface *accessibleNotification(QObject *object);

} // namespace platform
