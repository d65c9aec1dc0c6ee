#include "platform/accessibility/lineplaces.h"

#include "platform/surrogatepairs.h"

#include <QGlyphRun>

#include <algorithm>
#include <optional>

namespace platform {

Extent extentOf(const QTextLine &line, int from, int length)
{
    std::optional<Extent> extent;
    for (const QGlyphRun &run : line.glyphRuns(from, length)) {
        const QRectF box = run.boundingRect();
        extent = extent
            ? Extent { std::min(extent->left, box.left()), std::max(extent->right, box.right()) }
            : Extent { box.left(), box.right() };
    }
    if (extent)
        return *extent;
    const qreal before = line.cursorToX(from);
    const qreal after = line.cursorToX(from + length);
    return { std::min(before, after), std::max(before, after) };
}

int characterAt(const QTextLine &line, const QString &text, qreal x, int first, int last)
{
    const auto drawnAt = [&](int unit) {
        const Extent extent = extentOf(line, unit, unitsOfCharacter(text, unit));
        return extent.left <= x && x < extent.right;
    };
    const int found = int(characterStart(
        text, std::clamp(line.xToCursor(x, QTextLine::CursorOnCharacter), first, last)));
    // Where two directions meet, Qt 6.4.2 can name the character beside the one drawn there.
    for (const int candidate :
        { found, int(characterStart(text, found - 1)), found + unitsOfCharacter(text, found) }) {
        if (candidate >= first && candidate <= last && drawnAt(candidate))
            return candidate;
    }
    // On a right-to-left line wider than its box, Qt 6.4.2 can name a character further
    // off: the blank at the end of the line for a digit drawn between two letters.
    for (int unit = first; unit <= last; unit += unitsOfCharacter(text, unit)) {
        if (drawnAt(unit))
            return unit;
    }
    return found;
}

int pixel(qreal coordinate)
{
    constexpr qreal far = 1 << 30;
    return qRound(std::clamp(coordinate, -far, far));
}

} // namespace platform
