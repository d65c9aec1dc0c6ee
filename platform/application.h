#pragma once

// Everything that holds for the whole process: the application object with its style, its
// translations, its desktop identity and its screen-reader support, and the start routine
// that makes a form and runs it. A window (platform/window.h) changes one thing outside
// itself: while it lives, it is entered in the process-wide list of forms that assistive
// technology reads (registerForm in platform/accessibility/accessibility.h).

#include "platform/display.h"
#include "platform/formdescription.h"
#include "platform/startupfailure.h"

#include <QApplication>
#include <QString>
#include <QTranslator>

namespace platform {

// What the desktop and the terminal know the program by.
struct ProgramIdentity
{
    // Starts every line the program writes to the terminal.
    QString name;
    // The desktop file's name, so a desktop shows the window with the installed icon.
    QString desktopFileName;
};

// The Qt application with the look every form is drawn for: the Fusion style, so the
// buttons' colours show the same on every desktop, and Qt's own texts (context menus,
// the error box's button) in Bulgarian, the language of every form. Screen readers meet
// the forms through the program's own accessible interfaces (platform/accessibility/).
class Application : public QApplication
{
public:
    Application(int &argc, char **argv, const QString &desktopFileName = {});

private:
    QTranslator m_qtTexts;
};

// Makes the application and the form, runs the form's Load handler, shows its window and
// runs the event loop until the window is closed. A form whose description is wrong stops
// the program before anything is shown, and the user is told why.
template <class Form> int launch(const ProgramIdentity &program, int argc, char **argv)
{
    if (const QString problem = missingDisplay(program.name, argc, argv); !problem.isEmpty()) {
        reportStartupFailure(program.name, problem);
        return 1;
    }
    Application application(argc, argv, program.desktopFileName);
    try {
        Form form;
        form.window().start();
        return application.exec();
    } catch (const DescriptionError &error) {
        reportStartupFailure(program.name,
            QStringLiteral("%1: %2").arg(program.name, QString::fromUtf8(error.what())));
        return 1;
    }
}

} // namespace platform
