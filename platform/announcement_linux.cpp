#include "platform/announcement.h"

#include "platform/accessibility/notification.h"

#include <QWidget>

namespace platform {

// AT-SPI has no call that makes a screen reader speak; the window shows a notification with
// the text, which Orca speaks wherever the focus is.
void prepareAnnouncements(QWidget &window)
{
    makeNotification(window);
}

void speak(QWidget &box, const QString &text)
{
    showNotification(*box.window(), text);
}

} // namespace platform
