#include "platform/errorreport.h"

#include "calc/runtimeerror.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

#include <new>

using namespace Qt::StringLiterals;

namespace platform {

void reportRuntimeError(QWidget *window, const RuntimeError &error)
{
    QMessageBox box(QMessageBox::Critical, window ? window->windowTitle() : QString(),
        u"Грешка при изпълнение: %1."_s.arg(error.description()), QMessageBox::Ok, window);
    box.setInformativeText(u"Действието е прекратено. Програмата продължава да работи."_s);
    box.setWindowModality(Qt::WindowModal);
    QPointer<QWidget> focus = QApplication::focusWidget();
    box.exec();
    // The user goes on where they were, keyboard included, whatever the window manager does.
    if (window)
        window->activateWindow();
    if (focus)
        focus->setFocus(Qt::OtherFocusReason);
}

void invokeHandler(QWidget *window, const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const RuntimeError &error) {
        reportRuntimeError(window, error);
    } catch (const std::bad_alloc &) {
        reportRuntimeError(window, RuntimeError(ErrorKind::OutOfMemory));
    }
}

} // namespace platform
