#include "platform/accessibility/accessibility.h"

#include "platform/accessibility/textbox.h"
#include "platform/window.h"

#include <QAccessible>
#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QApplication>
#include <QEvent>

#include <algorithm>
#include <utility>

namespace platform {

namespace {

// What a screen reader sees of a form: a window whose children are the controls the user
// sees. Qt would list the hidden ones too, as empty, unnamed objects.
class AccessibleForm final : public QAccessibleWidget
{
public:
    explicit AccessibleForm(QWidget *form) : QAccessibleWidget(form, QAccessible::Window) { }

    int childCount() const override { return int(shownChildren().size()); }

    QAccessibleInterface *child(int index) const override
    {
        const QWidgetList children = shownChildren();
        if (index < 0 || index >= children.size())
            return nullptr;
        return QAccessible::queryAccessibleInterface(children.at(index));
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (!child)
            return -1;
        return int(shownChildren().indexOf(qobject_cast<QWidget *>(child->object())));
    }

private:
    QWidgetList shownChildren() const
    {
        QWidgetList shown;
        for (QObject *object : widget()->children()) {
            auto *child = qobject_cast<QWidget *>(object);
            if (child && !child->isWindow() && !child->isHidden())
                shown.append(child);
        }
        return shown;
    }
};

// A control the user cannot see does not exist for assistive technology either, whatever
// the code does to it. Qt would report it all the same: the entry that code selects in a
// hidden list becomes its current one, and Qt announces that entry as focused, so a screen
// reader follows the focus into a list no one can see and reads it out. An event whose
// object is not valid has no object to give a bridge (QAccessibleEvent::accessibleInterface
// is null), and the bridge sends nothing; so the hidden control and every part of it (a
// list's entries, a box's scroll bars) keep their focus, selection, name and text to
// themselves, and the control itself works as before.
class HiddenControl final : public QAccessibleWidget
{
public:
    using QAccessibleWidget::QAccessibleWidget;

    bool isValid() const override { return false; }
};

// The control of a window that a widget is, or is part of; none for a window of its own,
// such as the box that reports an error.
const QWidget *controlOf(const QWidget *widget)
{
    for (; widget && !widget->isWindow(); widget = widget->parentWidget()) {
        if (dynamic_cast<const Window *>(widget->parentWidget()))
            return widget;
    }
    return nullptr;
}

// Screen readers present a change of text, name or description only in the object that
// has the keyboard focus (Orca also in its parent), and what a handler writes lands in a
// box while the focus stays on the button that set the handler off. Qt 6.4 has no
// announcement event (QAccessibleAnnouncementEvent came with 6.8), so the window speaks
// through a notification of its own, the object desktops use for a message the user did
// not ask for. A screen reader speaks a notification, its role and its name, when it
// becomes showing, wherever the focus is: Orca does so for the desktop's own
// notifications, and AT-SPI carries the change as the plain "showing" state that every
// client already follows. Each announcement hides the notification and shows it anew, so
// the same text is spoken again.
//
// The notification is no widget: nothing appears on screen, nothing takes the focus, and it
// has no extent. It names the window as its parent, so a screen reader knows whose it is,
// but the window does not list it among its children: reading the window through meets the
// text once, in the box it was written to.
class Notification final : public QObject
{
public:
    using QObject::QObject;

    QString text;
    bool showing = false;
};

class AccessibleNotification final : public QAccessibleObject
{
public:
    explicit AccessibleNotification(Notification *notification)
        : QAccessibleObject(notification), m_notification(notification)
    { }

    QAccessibleInterface *parent() const override
    {
        return QAccessible::queryAccessibleInterface(object()->parent());
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessible::Role role() const override { return QAccessible::Notification; }

    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Name ? m_notification->text : QString();
    }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.invisible = !m_notification->showing;
        return state;
    }

private:
    const Notification *m_notification;
};

QAccessibleInterface *accessibleInterface(const QString &, QObject *object)
{
    if (auto *notification = dynamic_cast<Notification *>(object))
        return new AccessibleNotification(notification);
    if (auto *form = dynamic_cast<Window *>(object))
        return new AccessibleForm(form);
    auto *widget = qobject_cast<QWidget *>(object);
    const QWidget *control = controlOf(widget);
    if (control && control->isHidden())
        return new HiddenControl(widget);
    return accessibleTextBox(widget);
}

// Qt keeps the interface it first made for an object. A control shown or hidden after
// that has its interfaces, and its parts', made anew, so that what a screen reader is
// given always follows what the user sees.
class VisibilityWatch final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::ShowToParent && type != QEvent::HideToParent)
            return false;
        auto *widget = qobject_cast<QWidget *>(watched);
        if (!widget || controlOf(widget) != widget)
            return false;
        QWidgetList parts = widget->findChildren<QWidget *>();
        parts.prepend(widget);
        for (QWidget *part : std::as_const(parts)) {
            if (QAccessibleInterface *made = QAccessible::queryAccessibleInterface(part))
                QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
        }
        return false;
    }
};

Notification &notificationOf(QWidget &window)
{
    for (QObject *child : window.children()) {
        if (auto *notification = dynamic_cast<Notification *>(child))
            return *notification;
    }
    return *new Notification(&window);
}

void update(Notification &notification, QAccessible::Event type)
{
    QAccessibleEvent event(&notification, type);
    QAccessible::updateAccessibility(&event);
}

} // namespace

void installAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(accessibleInterface);
        return true;
    }();
    Q_UNUSED(installed);
    const QObjectList &children = qApp->children();
    if (std::none_of(children.begin(), children.end(),
            [](QObject *child) { return dynamic_cast<VisibilityWatch *>(child); }))
        qApp->installEventFilter(new VisibilityWatch(qApp));
}

void announce(QWidget &source, const QString &text)
{
    if (!QAccessible::isActive())
        return;
    Notification &notification = notificationOf(*source.window());
    if (notification.showing) {
        notification.showing = false;
        update(notification, QAccessible::ObjectHide);
    }
    notification.text = text;
    notification.showing = true;
    update(notification, QAccessible::ObjectShow);
}

} // namespace platform
