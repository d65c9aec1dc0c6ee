#pragma once

// How a window reads out a text to a screen reader wherever the keyboard focus is. Each
// system has its own way (announcement_linux.cpp, announcement_windows.cpp); which texts
// are read out, and when, the accessibility layer decides (accessibility/accessibility.h).

class QString;
class QWidget;

namespace platform {

// Readies a form's window to read texts out: called when the window is registered as a
// form, before its first control is made.
void prepareAnnouncements(QWidget &window);

// Reads out the text a box now shows.
void speak(QWidget &box, const QString &text);

} // namespace platform
