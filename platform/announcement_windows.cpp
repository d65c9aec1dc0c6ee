#include "platform/announcement.h"

#include <QAccessible>
#include <QWidget>

namespace platform {

// UI Automation has the call a screen reader speaks wherever the focus is: a notification
// event (UiaRaiseNotificationEvent, Windows 10 1709 and later), which NVDA and Narrator read
// out. Qt 6.4.2's bridge raises one on the box for a value change whose value is a string,
// and a change of the box's Value property on older Windows. The window needs nothing of its
// own for it.
void prepareAnnouncements(QWidget &)
{ }

void speak(QWidget &box, const QString &text)
{
    QAccessibleValueChangeEvent event(&box, text);
    QAccessible::updateAccessibility(&event);
}

} // namespace platform
