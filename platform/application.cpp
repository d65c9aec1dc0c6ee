#include "platform/application.h"

#include <QFileInfo>
#include <QLibraryInfo>
#include <QStyleFactory>

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

} // namespace

QString missingDisplay(int argc, char **argv)
{
    // A platform or display named on the command line or in the environment is Qt's to find.
    constexpr std::string_view options[] { "-platform", "--platform", "-display", "--display" };
    for (int i = 1; i < argc; ++i) {
        if (std::find(std::begin(options), std::end(options), argv[i]) != std::end(options))
            return {};
    }
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM")
        || qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
        return {};
    const QString display = qEnvironmentVariable("DISPLAY");
    if (display.isEmpty()) {
        return u"velmora: no graphical display (DISPLAY is not set); start it from a desktop session."_s;
    }
    // A local X display listens on a socket; without it Qt would abort with a dump.
    const QStringView number = localDisplayNumber(display);
    if (!number.isEmpty() && !QFileInfo::exists(u"/tmp/.X11-unix/X"_s + number.toString())) {
        return u"velmora: the display %1 is not running; start it from a desktop session."_s.arg(
            display);
    }
    return {};
}

Application::Application(int &argc, char **argv) : QApplication(argc, argv)
{
    setStyle(QStyleFactory::create(u"Fusion"_s));
    // The desktop file's name, so a desktop shows the window with the installed icon.
    setDesktopFileName(u"example.velmora.Velmora"_s);
    // Bulgarian whatever the session's language: a Bulgarian window in an English session
    // would otherwise offer "Copy" and "OK". Only texts are translated; numbers keep the
    // user's regional settings. Without Qt's translations installed the menus stay English
    // and everything else works.
    if (m_qtTexts.load(u"qtbase_bg"_s, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(&m_qtTexts);
}

} // namespace platform
