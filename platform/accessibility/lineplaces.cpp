#include "platform/accessibility/lineplaces.h"

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
    const auto start = [&text](int unit) {
        return unit > 0 && text[unit].isLowSurrogate() && text[unit - 1].isHighSurrogate()
            ? unit - 1
            : unit;
    };
    const auto length = [&text](int unit) {
        return unit + 1 < text.size() && text[unit].isHighSurrogate() ? 2 : 1;
    };
    const int found
        = start(std::clamp(line.xToCursor(x, QTextLine::CursorOnCharacter), first, last));
    // Where two directions meet, Qt can name the character beside the one drawn there.
    for (const int candidate : { found, start(found - 1), found + length(found) }) {
        if (candidate < first || candidate > last)
            continue;
        const Extent extent = extentOf(line, candidate, length(candidate));
        if (extent.left <= x && x < extent.right)
            return candidate;
    }
    return found;
}

int pixel(qreal coordinate)
{
    constexpr qreal far = 1 << 30;
    return qRound(std::clamp(coordinate, -far, far));
}

} // namespace platform
