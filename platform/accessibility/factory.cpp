#include "platform/accessibility/accessibility.h"

#include "platform/accessibility/announcement.h"
#include "platform/accessibility/lineedit.h"
#include "platform/accessibility/plaintextedit.h"
#include "platform/accessibility/windowinterface.h"

#include <QAccessible>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace platform {

namespace {

QAccessibleInterface *accessibleInterface(const QString &, QObject *object)
{
    if (QAccessibleInterface *notification = accessibleNotification(object))
        return notification;
    if (QAccessibleInterface *formOrHidden = accessibleFormOrHiddenControl(object))
        return formOrHidden;
    if (auto *edit = qobject_cast<QLineEdit *>(object))
        return accessibleLineEdit(edit);
    if (auto *edit = qobject_cast<QPlainTextEdit *>(object))
        return accessiblePlainTextEdit(edit);
    return nullptr;
}

} // namespace

void installAccessibility()
{
    QAccessible::installFactory(accessibleInterface);
}

} // namespace platform
