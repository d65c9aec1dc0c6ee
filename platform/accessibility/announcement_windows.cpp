#include "platform/accessibility/announcement.h"

#include <QAccessible>
#include <QWidget>

namespace platform {

// UI Automation has the call a screen reader speaks wherever the focus is: a notification
// event (UiaRaiseNotificationEvent), which NVDA and Narrator read out, and which Qt raises
// for an announcement. An assertive one is important and always delivered: read out at
// once while the focus stays on the button, and every report in its turn, where a polite one
// waits behind whatever is being said. The window needs no object of its own for it.
void prepareAnnouncements(QWidget &)
{ }

void speak(QWidget &box, const QString &text)
{
    QAccessibleAnnouncementEvent event(&box, text);
    event.setPoliteness(QAccessible::AnnouncementPoliteness::Assertive);
    QAccessible::updateAccessibility(&event);
}

QObject *notificationOf(const QWidget &)
{
    return nullptr;
}

QAccessibleInterface *accessibleNotification(QObject *)
{
    return nullptr;
}

} // namespace platform
