#pragma once

#include <QString>

namespace platform {

// Tells the user why the program stopped before its window showed, in one message that
// starts with the program's name: on a terminal on Linux, in a message box on Windows, where
// a program started from the Start menu has no terminal to write to.
void reportStartupFailure(const QString &program, const QString &message);

} // namespace platform
