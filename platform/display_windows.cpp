#include "platform/display.h"

namespace platform {

// Windows starts a program on the desktop of the user who starts it, which always shows its
// windows: there is no display server to look for. (DISPLAY, which a Linux shell may pass on
// through Wine, means nothing here.)
QString missingDisplay(const QString &, int, char **)
{
    return {};
}

} // namespace platform
