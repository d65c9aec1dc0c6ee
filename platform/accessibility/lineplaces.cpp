#include "platform/accessibility/lineplaces.h"

#include "platform/accessibility/textunits.h"

#include <QGlyphRun>
#include <QRawFont>

#include <algorithm>
#include <optional>

namespace platform {

namespace {

// Between the caret places on either side.
Extent between(const QTextLine &line, int from, int length)
{
    const qreal before = line.cursorToX(from);
    const qreal after = line.cursorToX(from + length);
    return { std::min(before, after), std::max(before, after) };
}

// Where a run's glyphs are drawn, each from its place to its advance.
Extent drawn(const QGlyphRun &run)
{
    const QList<QPointF> places = run.positions();
    const QList<QPointF> advances = run.rawFont().advancesForGlyphIndexes(run.glyphIndexes());
    Extent extent { places.front().x(), places.front().x() };
    for (qsizetype i = 0; i < places.size(); ++i) {
        extent.left = std::min(extent.left, places[i].x());
        extent.right = std::max(extent.right, places[i].x() + advances[i].x());
    }
    return extent;
}

} // namespace

Extent extentOf(const QTextLayout &layout, const QTextLine &line, int from, int length)
{
    std::optional<Extent> extent;
    for (const QGlyphRun &run : line.glyphRuns(from, length)) {
        // Qt 6.4.2 boxes a character that shares its glyphs with others (a letter with the
        // marks drawn on it, a ligature's letters) away from them on a right-to-left line:
        // off the text for a letter at its end. The glyphs' own places are right. A mark, no
        // place for the caret, lies at their end; a ligature's letters split it where Qt puts
        // the caret between them, unless that strays off it, as it can where two directions
        // meet.
        if (run.flags().testFlag(QGlyphRun::SplitLigature) && !run.isEmpty()) {
            const Extent glyphs = drawn(run);
            if (!layout.isValidCursorPosition(from)) {
                const qreal end = run.isRightToLeft() ? glyphs.left : glyphs.right;
                return { end, end };
            }
            const Extent carets = between(line, from, length);
            // Room for the font's advances and the line's to round apart.
            constexpr qreal slack = 0.5;
            return carets.left < carets.right && carets.left > glyphs.left - slack
                    && carets.right < glyphs.right + slack
                ? carets
                : glyphs;
        }
        const QRectF box = run.boundingRect();
        extent = extent
            ? Extent { std::min(extent->left, box.left()), std::max(extent->right, box.right()) }
            : Extent { box.left(), box.right() };
    }
    return extent ? *extent : between(line, from, length);
}

int characterAt(const QTextLayout &layout, const QTextLine &line, qreal x, int first, int last)
{
    const QString text = layout.text();
    const auto drawnAt = [&](int unit) {
        const Extent extent = extentOf(layout, line, unit, unitsOfCharacter(text, unit));
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
