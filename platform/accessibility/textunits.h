#pragma once

// A text as assistive technology counts and cuts it: in characters (code points), as AT-SPI
// and GTK count them, and in items (characters, words, sentences, paragraphs) that each run
// to where the next one starts. The text boxes' interfaces (textinterface.h) answer from it.

#include <QAccessible>
#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace platform {

struct Span
{
    int start = 0;
    int end = 0;
};

// The item at an offset, or the one before or after it (step -1 or 1), of the items that
// start where `starts` says. Before the first item is nothing at the start, after the last
// nothing at the end.
Span itemNear(const std::vector<int> &starts, int length, int offset, int step);

// A text in characters beside Qt's UTF-16 units: a character outside the BMP, an emoji say,
// is one character and two units, a surrogate pair. Any other unit, a lone half of a pair
// included, is a character of its own. This is the one model of the two counts, for the
// text boxes themselves as for what assistive technology reads of them.

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

// A text's characters, indexed. Only the pairs make the two counts differ, so only where
// they stand is kept: most texts have none, and a conversion is then no work at all.
class Characters
{
public:
    explicit Characters(const QString &units);

    const QString &units() const { return m_units; }
    int count() const { return int(m_units.size()) - int(m_pairs.size()); }

    // The unit where a character, 0 to count(), starts.
    int unitOf(int character) const;
    // The character a unit belongs to; the unit after the last one gives count().
    int characterOf(int unit) const;
    // The units of the characters from start to end.
    QString slice(int start, int end) const;

    // Where each item of a kind starts, in characters, the first at 0; lines are left out,
    // as only the box knows them. Worked out at the first question, kept for every later
    // one on the same text.
    const std::vector<int> &starts(QAccessible::TextBoundaryType kind) const;

private:
    QString m_units;
    // Where each pair of units making one character starts.
    std::vector<int> m_pairs;
    mutable std::array<std::optional<std::vector<int>>, QAccessible::NoBoundary + 1> m_starts;
};

// Whether two texts are the same, at once when they share their units, as a box's text
// does with the copy kept of it until the box changes it.
bool same(const QString &one, const QString &other);

} // namespace platform
