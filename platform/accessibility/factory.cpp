#include "platform/accessibility/accessibility.h"

#include "platform/accessibility/form.h"
#include "platform/accessibility/notification.h"
#include "platform/accessibility/textbox.h"

#include <QAccessible>
#include <QWidget>

namespace platform {

namespace {

QAccessibleInterface *accessibleInterface(const QString &, QObject *object)
{
    if (QAccessibleInterface *notification = accessibleNotification(object))
        return notification;
    if (QAccessibleInterface *formOrHidden = accessibleFormOrHiddenControl(object))
        return formOrHidden;
    return accessibleTextBox(qobject_cast<QWidget *>(object));
}

} // namespace

void installAccessibility()
{
    QAccessible::installFactory(accessibleInterface);
}

} // namespace platform
