#include "platform/startupfailure.h"

#include <QMessageBox>

using namespace Qt::StringLiterals;

namespace platform {

// The message itself is for whoever made the program; the user is told in Bulgarian that it
// cannot start, in a box like the program's other errors. Windows always has a display, so
// nothing stops the program before its application object exists.
void reportStartupFailure(const QString &program, const QString &message)
{
    QMessageBox box(QMessageBox::Critical, program,
        u"Програмата %1 не може да започне."_s.arg(program), QMessageBox::Ok);
    box.setInformativeText(message);
    box.exec();
}

} // namespace platform
