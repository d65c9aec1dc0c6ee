#pragma once

// The platform layer: it turns a form description (one table of controls, below) into a
// Qt window, addresses its widgets as control arrays ("Text2", 1), delivers Load and Click
// events to the form's handlers and reports every runtime error a handler lets escape.
// The form (form/) supplies the description and the handlers; the calculation (calc/)
// sees the controls only through calc/priceform.h. Every file of the layer, and where a
// change goes, is in platform/README.md.

#include "platform/controlname.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <vector>

namespace platform {

enum class ControlKind { Label, ListBox, TextBox, CommandButton };

// Positions and sizes are in twips, 1/1440 inch, 15 to a pixel at 96 dpi.
struct TwipsRect
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct Rgb
{
    int red = 0;
    int green = 0;
    int blue = 0;
};

struct ControlDescription
{
    ControlName name {};
    ControlKind kind = ControlKind::Label;
    TwipsRect rect {};
    int tabIndex = 0;
    // A label's or button's caption.
    QString caption {};
    // A text box's text when the window is made.
    QString text {};
    std::optional<Rgb> backColor {};
    QStringList entries {};
    bool visible = true;
    // Multi-line text boxes wrap words and have a vertical scroll bar.
    bool multiLine = false;
    bool centred = false;
    // The most characters the user may type or paste; 0 for no limit.
    int maxLength = 0;
    bool locked = false;
    // For a multi-line text box: the program's output, which the box announces to screen
    // readers as it is written, wherever the keyboard is (platform/textboxes.h).
    bool announce = false;
    // For a label: the control it names, for screen readers.
    std::optional<ControlName> labelFor {};
    // What a screen reader calls the control; a control a label names takes the label's
    // caption unless it is given a name of its own.
    QString accessibleName {};
    // What a screen reader says the control is for, where the name alone does not tell.
    QString accessibleDescription {};
};

struct FormDescription
{
    QString name {};
    QString caption {};
    // The window's icon, one picture for each size a desktop may show it at.
    QStringList iconFiles {};
    int clientWidth = 0;
    int clientHeight = 0;
    Rgb backColor {};
    QString fontFamily {};
    int fontPointSize = 0;
    std::vector<ControlDescription> controls {};
};

// A description that cannot be built as it stands: a mistake in the program, found when its
// window is built, before anything is shown. The text names the control in full.
class DescriptionError : public std::logic_error
{
public:
    using std::logic_error::logic_error;
};

} // namespace platform
