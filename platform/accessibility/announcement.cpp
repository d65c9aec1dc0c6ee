#include "platform/accessibility/announcement.h"
#include "platform/accessibility/accessibility.h"

#include <QAccessible>
#include <QString>
#include <QWidget>

namespace platform {

void announce(QWidget &box, const QString &shown)
{
    if (!QAccessible::isActive() || box.hasFocus() || shown.isEmpty())
        return;
    speak(box, shown.trimmed());
}

} // namespace platform
