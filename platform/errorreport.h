#pragma once

#include <functional>

class QWidget;
class RuntimeError;

namespace platform {

// Runs one event handler. A runtime error that escapes it is shown to the user in a modal
// message box over the window; when the box is closed the program goes on with the form
// as the handler left it, so nothing typed is lost.
void invokeHandler(QWidget *window, const std::function<void()> &handler);

void reportRuntimeError(QWidget *window, const RuntimeError &error);

} // namespace platform
