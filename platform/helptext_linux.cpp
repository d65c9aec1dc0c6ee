#include "platform/helptext.h"

namespace platform {

// Orca reads the accessible description, and that is all it needs. Qt 6.8 and later hand a
// control's What's This to AT-SPI as its help text, which Orca 47 and later read after the
// description: the same words twice on every Tab. So a control here has no What's This.
bool giveHelpText(QWidget &, const QString &)
{
    return false;
}

} // namespace platform
