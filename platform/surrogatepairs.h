#pragma once

// A text walked by characters rather than by Qt's UTF-16 units: a character outside the BMP,
// an emoji say, is two units, a surrogate pair. Any other unit, a lone half of a pair
// included, is a character of its own.

#include <QString>

namespace platform {

// The units of the character that starts at a unit: 2 for a pair, 1 otherwise.
inline int unitsOfCharacter(const QString &text, qsizetype unit)
{
    return unit + 1 < text.size() && text[unit].isHighSurrogate() && text[unit + 1].isLowSurrogate()
        ? 2
        : 1;
}

// The unit where the character that holds a unit starts.
inline qsizetype characterStart(const QString &text, qsizetype unit)
{
    return unit > 0 && unitsOfCharacter(text, unit - 1) == 2 ? unit - 1 : unit;
}

} // namespace platform
