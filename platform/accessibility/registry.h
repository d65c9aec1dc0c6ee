#pragma once

// Which windows are forms, and which of a form's controls the user never sees: what
// registerForm (accessibility.h) was told.

#include <functional>

class QObject;
class QWidget;

namespace platform {

using Hidden = std::function<bool(const QWidget &control)>;

// What tells a registered form's hidden controls; none for any other object.
const Hidden *hiddenOf(const QObject *window);

} // namespace platform
