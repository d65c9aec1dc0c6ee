#include "platform/display.h"

#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <string_view>

using namespace Qt::StringLiterals;

namespace platform {

namespace {

bool isNumber(QStringView text)
{
    return !text.isEmpty()
        && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// The display's number when DISPLAY names a local X display (":0", ":0.1", "unix:0"),
// else nothing. Read by hand: a regular expression would load PCRE2 and JIT-compile the
// pattern at every start on X11, some 400 KiB of the program's memory for one short line.
QStringView localDisplayNumber(QStringView display)
{
    if (display.startsWith(u"unix:"))
        display = display.sliced(4);
    if (!display.startsWith(u':'))
        return {};
    display = display.sliced(1);
    if (const qsizetype dot = display.indexOf(u'.'); dot >= 0) {
        if (!isNumber(display.sliced(dot + 1)))
            return {};
        display = display.first(dot);
    }
    return isNumber(display) ? display : QStringView();
}

// The Wayland display Qt tries first: the one WAYLAND_DISPLAY names, or in a Wayland session
// without it libwayland's default. An empty name reaches no compositor, so it counts as none.
QString waylandDisplay()
{
    if (qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
        return qEnvironmentVariable("WAYLAND_DISPLAY");
    return qgetenv("XDG_SESSION_TYPE") == "wayland" ? u"wayland-0"_s : QString();
}

// A running compositor listens on a socket, in the session's runtime folder unless the name
// is a path; libwayland gives up without that folder.
bool waylandRunning(const QString &name)
{
    if (name.startsWith(u'/'))
        return QFileInfo::exists(name);
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(runtime + u'/' + name);
}

} // namespace

QString missingDisplay(const QString &program, int argc, char **argv)
{
    // A platform or display named on the command line or in the environment is Qt's to find;
    // Qt takes an empty QT_QPA_PLATFORM for none.
    constexpr std::string_view options[] { "-platform", "--platform", "-display", "--display" };
    for (int i = 1; i < argc; ++i) {
        if (std::find(std::begin(options), std::end(options), argv[i]) != std::end(options))
            return {};
    }
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return {};
    // Qt tries Wayland, then X, and shows the window on the first that answers; only when
    // none does would it abort with a dump.
    QStringList stopped;
    if (const QString wayland = waylandDisplay(); !wayland.isEmpty()) {
        if (waylandRunning(wayland))
            return {};
        stopped << wayland;
    }
    const QString display = qEnvironmentVariable("DISPLAY");
    if (!display.isEmpty()) {
        // A local X display listens on a socket; a remote one is Qt's to reach.
        const QStringView number = localDisplayNumber(display);
        if (number.isEmpty() || QFileInfo::exists(u"/tmp/.X11-unix/X"_s + number.toString()))
            return {};
        stopped << display;
    }
    if (stopped.isEmpty()) {
        return u"%1: no graphical display (DISPLAY is not set); start it from a desktop session."_s
            .arg(program);
    }
    if (stopped.size() == 1) {
        return u"%1: the display %2 is not running; start it from a desktop session."_s.arg(
            program, stopped[0]);
    }
    return u"%1: the displays %2 and %3 are not running; start it from a desktop session."_s.arg(
        program, stopped[0], stopped[1]);
}

} // namespace platform
