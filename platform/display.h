#pragma once

#include <QString>

namespace platform {

// Why no window can be shown, in one line that starts with the program's name, or an empty
// text when one can. Qt alone would answer a missing display with a page of plugin
// diagnostics and an abort.
QString missingDisplay(const QString &program, int argc, char **argv);

} // namespace platform
