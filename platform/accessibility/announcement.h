#pragma once

// How a window reads out a text to a screen reader wherever the keyboard focus is. Which
// texts are read out, and when, announce() decides (accessibility.h, announcement.cpp); how,
// each system has its own way: a notification object of the window's on AT-SPI
// (announcement_linux.cpp), Qt's announcement on UI Automation (announcement_windows.cpp).

class QAccessibleInterface;
class QObject;
class QString;
class QWidget;

namespace platform {

// Readies a form's window to read texts out: called when the window is registered as a
// form, before its first control is made.
void prepareAnnouncements(QWidget &window);

// Reads out the text a box now shows.
void speak(QWidget &box, const QString &text);

// The object a window announces through, which assistive technology finds as the window's
// last child, and its interface; none where the system needs no such object.
QObject *notificationOf(const QWidget &window);
QAccessibleInterface *accessibleNotification(QObject *object);

} // namespace platform
