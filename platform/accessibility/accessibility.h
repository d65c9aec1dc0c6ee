#pragma once

// What assistive technology, a screen reader above all, sees of the program: one
// accessible factory for the forms, their text boxes and their announcements, installed
// over Qt's own. The window (platform/window.h) and the text boxes (platform/controls.h)
// use it; the form and the calculation know nothing of it.

class QString;
class QWidget;

namespace platform {

// Installs the factory, once; Qt asks it before its own. Needs the application object,
// which installs Qt's own factory when it is made.
void installAccessibility();

// Has a screen reader speak a text at once, wherever the keyboard focus is, without moving
// the focus and without anything appearing on screen. The text is spoken again each time,
// even when it is the same as the last one.
void announce(QWidget &source, const QString &text);

} // namespace platform
