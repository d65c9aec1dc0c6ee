#include "platform/accessibility/windowinterface.h"
#include "platform/accessibility/announcement.h"
#include "platform/accessibility/registry.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

namespace platform {

namespace {

// What a screen reader sees of a form: a window whose children are the controls the user
// sees, then its notification. Qt 6.4.2 would list the hidden controls too, as empty,
// unnamed objects, and not the notification at all.
class AccessibleForm final : public QAccessibleWidget
{
public:
    explicit AccessibleForm(QWidget *form) : QAccessibleWidget(form, QAccessible::Window) { }

    int childCount() const override { return int(children().size()); }

    QAccessibleInterface *child(int index) const override
    {
        const QObjectList all = children();
        if (index < 0 || index >= all.size())
            return nullptr;
        return QAccessible::queryAccessibleInterface(all.at(index));
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child ? int(children().indexOf(child->object())) : -1;
    }

private:
    QObjectList children() const
    {
        QObjectList shown;
        const Hidden *hidden = hiddenOf(widget());
        for (QObject *object : widget()->children()) {
            auto *child = qobject_cast<QWidget *>(object);
            if (child && !child->isWindow() && !(hidden && (*hidden)(*child)))
                shown.append(child);
        }
        if (QObject *notification = notificationOf(*widget()))
            shown.append(notification);
        return shown;
    }
};

// A control the user cannot see does not exist for assistive technology either, whatever
// the code does to it. Qt 6.4.2 would report it all the same: the entry that code selects in a
// hidden list becomes its current one, and Qt announces that entry as focused, so a screen
// reader follows the focus into a list no one can see and reads it out. An event whose
// object is not valid has no object to give a bridge (QAccessibleEvent::accessibleInterface
// is null), and the bridge sends nothing; so the hidden control and every part of it (a
// list's entries, a box's scroll bars) keep their focus, selection, name and text to
// themselves, and the control itself works as before.
class AccessibleHiddenControl final : public QAccessibleWidget
{
public:
    using QAccessibleWidget::QAccessibleWidget;

    bool isValid() const override { return false; }
};

} // namespace

QAccessibleInterface *accessibleFormOrHiddenControl(QObject *object)
{
    if (hiddenOf(object))
        return new AccessibleForm(static_cast<QWidget *>(object));
    // The control of a form that a widget is, or is part of.
    auto *widget = qobject_cast<QWidget *>(object);
    for (QWidget *part = widget; part && !part->isWindow(); part = part->parentWidget()) {
        if (const Hidden *hidden = hiddenOf(part->parentWidget()))
            return (*hidden)(*part) ? new AccessibleHiddenControl(widget) : nullptr;
    }
    return nullptr;
}

} // namespace platform
