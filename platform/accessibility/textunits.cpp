#include "platform/accessibility/textunits.h"

#include <QTextBoundaryFinder>

#include <algorithm>

namespace platform {

namespace {

// Where each item of a kind starts, in order, the first at 0, lines left out: they are as
// the box shows them. An item runs to where the next one starts, as AT-SPI and GTK have
// it: a word takes the blanks and the marks after it ("Цена " and "58.51[" are words), a
// line its line break. Where the last item starts at the text's end it is empty: the
// "character" at the end, and the line after a final line break.
std::vector<int> itemStarts(const QString &text, QAccessible::TextBoundaryType kind)
{
    const int length = int(text.size());
    std::vector<int> starts { 0 };
    const auto add = [&starts, length](int at) {
        if (at > starts.back() && at <= length)
            starts.push_back(at);
    };
    const auto addBoundaries = [&](QTextBoundaryFinder::BoundaryType type, bool wordStartsOnly) {
        QTextBoundaryFinder finder(type, text);
        for (qsizetype at = finder.toNextBoundary(); at != -1 && at < length;
             at = finder.toNextBoundary()) {
            if (!wordStartsOnly || finder.boundaryReasons() & QTextBoundaryFinder::StartOfItem)
                add(int(at));
        }
    };
    switch (kind) {
    case QAccessible::CharBoundary:
        // Graphemes, so that a character written with two code units is one character.
        addBoundaries(QTextBoundaryFinder::Grapheme, false);
        add(length);
        break;
    case QAccessible::WordBoundary:
        // Unicode's words keep a number whole: "1300", "1.4", "1e200", "58.51".
        addBoundaries(QTextBoundaryFinder::Word, true);
        break;
    case QAccessible::SentenceBoundary:
        addBoundaries(QTextBoundaryFinder::Sentence, false);
        break;
    case QAccessible::ParagraphBoundary:
        for (int i = 0; i < length; ++i) {
            if (text[i] == u'\n')
                add(i + 1);
        }
        break;
    case QAccessible::LineBoundary:
    case QAccessible::NoBoundary:
        break;
    }
    return starts;
}

} // namespace

Span itemNear(const std::vector<int> &starts, int length, int offset, int step)
{
    const int at = int(std::upper_bound(starts.begin(), starts.end(), offset) - starts.begin()) - 1;
    const int wanted = at + step;
    if (wanted < 0)
        return { 0, 0 };
    if (wanted >= int(starts.size()))
        return { length, length };
    return { starts[wanted], wanted + 1 < int(starts.size()) ? starts[wanted + 1] : length };
}

Characters::Characters(const QString &units) : m_units(units)
{
    for (qsizetype i = 0; i < units.size(); i += unitsOfCharacter(units, i)) {
        if (unitsOfCharacter(units, i) == 2)
            m_pairs.push_back(int(i));
    }
}

int Characters::unitOf(int character) const
{
    // The k-th pair is character m_pairs[k] - k, in increasing order.
    int low = 0;
    int high = int(m_pairs.size());
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (m_pairs[middle] - middle < character)
            low = middle + 1;
        else
            high = middle;
    }
    return character + low;
}

int Characters::characterOf(int unit) const
{
    return unit - int(std::lower_bound(m_pairs.begin(), m_pairs.end(), unit) - m_pairs.begin());
}

QString Characters::slice(int start, int end) const
{
    const int from = unitOf(start);
    return m_units.sliced(from, unitOf(end) - from);
}

const std::vector<int> &Characters::starts(QAccessible::TextBoundaryType kind) const
{
    std::optional<std::vector<int>> &kept = m_starts.at(std::size_t(kind));
    if (!kept) {
        kept = itemStarts(m_units, kind);
        for (int &start : *kept)
            start = characterOf(start);
    }
    return *kept;
}

bool same(const QString &one, const QString &other)
{
    return (one.constData() == other.constData() && one.size() == other.size()) || one == other;
}

} // namespace platform
