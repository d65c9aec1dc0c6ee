#pragma once

// Where a laid-out line of text draws its characters, in either direction: what the text
// boxes' interfaces (textinterface.h) tell magnifiers and mouse review.

#include <QTextLayout>

namespace platform {

// Where a character lies along its line, from its left edge to its right one, in the
// line's layout: the glyphs drawn for it wherever the line's directions place them. A
// character with no glyph of its own (a tab) lies between the caret places on either side
// of it, a mark drawn into the letter before it where that letter ends: the letter's box
// holds the glyphs of both, as the mark is no place for the caret.
struct Extent
{
    qreal left = 0;
    qreal right = 0;
};

Extent extentOf(const QTextLayout &layout, const QTextLine &line, int from, int length);

// The character, as a unit of the layout's text from first to last, drawn at x on a line;
// the one nearest it where none is.
int characterAt(const QTextLayout &layout, const QTextLine &line, qreal x, int first, int last);

// A coordinate as a whole pixel, however far along a long line it lies.
int pixel(qreal coordinate);

} // namespace platform
