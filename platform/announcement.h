#pragma once

#include <QString>

class QWidget;

namespace platform {

// Has a screen reader speak a text at once, wherever the keyboard focus is, without moving
// the focus and without anything appearing on screen. The text is spoken again each time,
// even when it is the same as the last one.
void announce(QWidget &source, const QString &text);

} // namespace platform
