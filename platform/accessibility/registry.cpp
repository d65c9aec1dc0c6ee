#include "platform/accessibility/registry.h"
#include "platform/accessibility/accessibility.h"
#include "platform/accessibility/announcement.h"

#include <QWidget>

#include <map>
#include <utility>

namespace platform {

namespace {

std::map<const QObject *, Hidden> &forms()
{
    static std::map<const QObject *, Hidden> registered;
    return registered;
}

} // namespace

const Hidden *hiddenOf(const QObject *window)
{
    const auto found = forms().find(window);
    return found == forms().end() ? nullptr : &found->second;
}

void registerForm(QWidget &window, std::function<bool(const QWidget &control)> hidden)
{
    forms()[&window] = std::move(hidden);
    prepareAnnouncements(window);
}

void forgetForm(const QWidget &window)
{
    forms().erase(&window);
}

} // namespace platform
