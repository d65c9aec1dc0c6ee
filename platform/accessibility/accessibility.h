#pragma once

// What assistive technology, a screen reader above all, sees of the program: one factory of
// accessible interfaces, installed over Qt's own, for the forms' windows and their hidden
// controls (windowinterface.h, told by registry.h), the text boxes (textinterface.h, with
// lineedit.h and plaintextedit.h) and what announces what the program writes
// (announcement.h). The application (platform/application.h) installs the factory, each
// window (platform/window.h) registers itself as a form; the form and the calculation know
// nothing of it.

#include <functional>

class QString;
class QWidget;

namespace platform {

// Installs the factory; Qt asks it before its own. Needs the application object, which
// installs Qt's own factory when it is made.
void installAccessibility();

// Makes a window a form for assistive technology: its direct child widgets are its
// controls, and `hidden` tells which of them the user never sees. Call it before the first
// control is made: Qt 6.4.2 asks about a control while making it, and keeps the interface it
// was first given, so whether a control is hidden must be known from the start and never
// change afterwards. The window calls forgetForm before it is destroyed.
void registerForm(QWidget &window, std::function<bool(const QWidget &control)> hidden);
void forgetForm(const QWidget &window);

// Reads out a box's new text at once, wherever the focus is: screen readers read a change
// only in the control with the focus, and the focus stays on the button that asked for it.
// Not when the box has the focus itself, where the screen reader reads the change on its
// own, nor for an empty text. Which texts a box announces, the box decides
// (platform/textboxes.h).
void announce(QWidget &box, const QString &shown);

} // namespace platform
