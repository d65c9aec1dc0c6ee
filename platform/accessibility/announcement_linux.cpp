#include "platform/accessibility/announcement.h"

#include <QAccessible>
#include <QAccessibleObject>
#include <QWidget>

namespace platform {

namespace {

// Screen readers present a change of text, name or description only in the object that
// has the keyboard focus (Orca also in its parent), and what a handler writes lands in a
// box while the focus stays on the button that set the handler off. Qt 6.4.2 has no
// announcement event (QAccessibleAnnouncementEvent came with 6.8), so on AT-SPI desktops
// the window speaks through a notification of its own, the object desktops use for a
// message the user did not ask for. A screen reader speaks a notification, its role and its
// name, when it becomes showing, wherever the focus is: Orca does so for the desktop's own
// notifications, and AT-SPI carries the change as the plain "showing" state that every
// client already follows. Each announcement hides the notification and shows it anew, so
// the same text is spoken again.
//
// The notification is no widget: nothing appears on screen, nothing takes the focus, and it
// has no extent. It is the window's last child, so that a client walking the window meets
// it where it belongs; until the first announcement it is not showing.
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

void update(Notification &notification, QAccessible::Event type)
{
    QAccessibleEvent event(&notification, type);
    QAccessible::updateAccessibility(&event);
}

} // namespace

// Qt 6.8 and later could send AT-SPI's announcement instead, which Orca 45 and later speak;
// the notification is one way on every Qt, heard by Orca 43 as by Orca 48 and 51.
void prepareAnnouncements(QWidget &window)
{
    new Notification(&window);
}

QObject *notificationOf(const QWidget &window)
{
    for (QObject *child : window.children()) {
        if (dynamic_cast<Notification *>(child))
            return child;
    }
    return nullptr;
}

QAccessibleInterface *accessibleNotification(QObject *object)
{
    auto *notification = dynamic_cast<Notification *>(object);
    return notification ? new AccessibleNotification(notification) : nullptr;
}

// The notification is shown anew even when it already shows the text.
void speak(QWidget &box, const QString &text)
{
    auto *notification = static_cast<Notification *>(notificationOf(*box.window()));
    if (!notification)
        return;
    if (notification->showing) {
        notification->showing = false;
        update(*notification, QAccessible::ObjectHide);
    }
    notification->text = text;
    notification->showing = true;
    update(*notification, QAccessible::ObjectShow);
}

} // namespace platform
