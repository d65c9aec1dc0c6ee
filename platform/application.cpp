#include "platform/application.h"

#include <QFileInfo>
#include <QLibraryInfo>
#include <QRegularExpression>
#include <QStyleFactory>

using namespace Qt::StringLiterals;

namespace platform {

QString missingDisplay()
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM")
        || qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
        return {};
    const QString display = qEnvironmentVariable("DISPLAY");
    if (display.isEmpty()) {
        return u"velmora: no graphical display (DISPLAY is not set); start it from a desktop session."_s;
    }
    // A local X display listens on a socket; without it Qt would abort with a dump.
    static const QRegularExpression localDisplay(uR"(^(?:unix)?:(\d+)(?:\.\d+)?$)"_s);
    const QRegularExpressionMatch local = localDisplay.match(display);
    if (local.hasMatch() && !QFileInfo::exists(u"/tmp/.X11-unix/X"_s + local.captured(1))) {
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
