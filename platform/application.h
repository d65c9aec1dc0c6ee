#pragma once

#include <QApplication>

#include <QString>
#include <QTranslator>

namespace platform {

// Why no window can be shown here, in one line, or an empty text when one can. Qt alone
// would answer a missing display with a page of plugin diagnostics and an abort.
QString missingDisplay(int argc, char **argv);

// The Qt application with the look every form is drawn for: the Fusion style, so the
// buttons' colours show the same on every desktop, and Qt's own texts (context menus,
// the error box's button) in Bulgarian, the language of every form.
class Application : public QApplication
{
public:
    Application(int &argc, char **argv);

private:
    QTranslator m_qtTexts;
};

// The start routine: makes the form, runs its Load handler, shows its window and runs the
// event loop until the window is closed.
template <class Form> int run(int argc, char **argv)
{
    if (const QString problem = missingDisplay(argc, argv); !problem.isEmpty()) {
        fprintf(stderr, "%s\n", qPrintable(problem));
        return 1;
    }
    Application application(argc, argv);
    Form form;
    form.window().start();
    return application.exec();
}

} // namespace platform
