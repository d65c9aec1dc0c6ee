#pragma once

#include "platform/formdescription.h"

#include <QColor>
#include <QPalette>

class QWidget;

namespace platform {

// The preferred colour when it stands out from the background by the given ratio, as WCAG 2
// measures contrast (1 for the same luminance, 21 for black on white);
// otherwise black or white, whichever stands out more. One of the two always reaches 4.5.
QColor standingOut(const QColor &background, const QColor &preferred, double ratio);

// Text must reach 4.5:1 against what is behind it; marks that are not text, 3:1.
constexpr double TextContrast = 4.5;
constexpr double MarkContrast = 3.0;

// The colours of a form and its controls: their own from the description, with black text
// on them, and the desktop's where the user reads and types, kept legible.
void setBackColor(QWidget &widget, QPalette::ColorRole role, const Rgb &rgb);
void setTextOnBackColor(QWidget &widget, QPalette::ColorRole role);
void keepTextLegible(QWidget &form);

} // namespace platform
