#include "platform/application.h"

#include "platform/accessibility/accessibility.h"

#include <QLibraryInfo>
#include <QStyleFactory>

using namespace Qt::StringLiterals;

namespace platform {

Application::Application(int &argc, char **argv, const QString &desktopFileName)
    : QApplication(argc, argv)
{
    setStyle(QStyleFactory::create(u"Fusion"_s));
    if (!desktopFileName.isEmpty())
        setDesktopFileName(desktopFileName);
    // Bulgarian whatever the session's language: a Bulgarian window in an English session
    // would otherwise offer "Copy" and "OK". Only texts are translated; numbers keep the
    // user's regional settings. Without Qt's translations installed the menus stay English
    // and everything else works.
    if (m_qtTexts.load(u"qtbase_bg"_s, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(&m_qtTexts);
    installAccessibility();
}

} // namespace platform
