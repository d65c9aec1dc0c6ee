#pragma once

class QColor;
class QPainter;
class QRect;

namespace platform {

// Where the keyboard is, drawn so that nobody has to hunt for it: a dotted rectangle in
// black or white, whichever stands out from what is behind it, inside the control's edge.
// The list and the buttons draw it; Qt's own marks are too faint to find.
void drawFocusMark(QPainter &painter, const QRect &inside, const QColor &background);

} // namespace platform
