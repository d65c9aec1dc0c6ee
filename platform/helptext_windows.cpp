#include "platform/helptext.h"

#include <QWidget>

namespace platform {

// NVDA reads the accessible description (UI Automation's FullDescription), Narrator a
// control's HelpText, which Qt takes from What's This.
bool giveHelpText(QWidget &control, const QString &description)
{
    control.setWhatsThis(description);
    return true;
}

} // namespace platform
