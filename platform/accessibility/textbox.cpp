#include "platform/accessibility/textbox.h"

#include <QAbstractTextDocumentLayout>
#include <QAccessibleWidget>
#include <QGlyphRun>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextLayout>

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace platform {

namespace {

struct Span
{
    int start = 0;
    int end = 0;
};

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

// The item at an offset, or the one before or after it (step -1 or 1). Before the first
// item is nothing at the start, after the last nothing at the end.
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

// A text as assistive technology counts it, in characters (code points), as AT-SPI and GTK
// do, beside Qt's UTF-16 units: a character outside the BMP, an emoji say, is one character
// and two units. Only such characters make the two counts differ, so only where they stand
// is kept: most texts have none, and a conversion is then no work at all.
class Characters
{
public:
    explicit Characters(const QString &units) : m_units(units)
    {
        for (qsizetype i = 0; i + 1 < units.size(); ++i) {
            if (units[i].isHighSurrogate() && units[i + 1].isLowSurrogate())
                m_pairs.push_back(int(i++));
        }
    }

    const QString &units() const { return m_units; }
    int count() const { return int(m_units.size()) - int(m_pairs.size()); }

    // The unit where a character, 0 to count(), starts.
    int unitOf(int character) const
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

    // The character a unit belongs to; the unit after the last one gives count().
    int characterOf(int unit) const
    {
        return unit - int(std::lower_bound(m_pairs.begin(), m_pairs.end(), unit) - m_pairs.begin());
    }

    // The units of the characters from start to end.
    QString slice(int start, int end) const
    {
        const int from = unitOf(start);
        return m_units.sliced(from, unitOf(end) - from);
    }

    // Where each item of a kind starts, in characters: worked out at the first question,
    // kept for every later one on the same text.
    const std::vector<int> &starts(QAccessible::TextBoundaryType kind) const
    {
        std::optional<std::vector<int>> &kept = m_starts.at(std::size_t(kind));
        if (!kept) {
            kept = itemStarts(m_units, kind);
            for (int &start : *kept)
                start = characterOf(start);
        }
        return *kept;
    }

private:
    QString m_units;
    // Where each pair of units making one character starts.
    std::vector<int> m_pairs;
    mutable std::array<std::optional<std::vector<int>>, QAccessible::LineBoundary + 1> m_starts;
};

// Whether two texts are the same, at once when they share their units, as a box's text
// does with the copy kept of it until the box changes it.
bool same(const QString &one, const QString &other)
{
    return (one.constData() == other.constData() && one.size() == other.size()) || one == other;
}

// Where a character lies along its line, from its left edge to its right one, in the
// line's layout: the glyphs drawn for it wherever the line's directions place them. A
// character with no glyph of its own (a tab, a mark drawn into the one before it) lies
// between the caret places on either side of it.
struct Extent
{
    qreal left = 0;
    qreal right = 0;
};

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

// The character, as a unit of the layout's text from first to last, drawn at x on a line;
// the one nearest it where none is.
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

// A coordinate as a whole pixel, however far along a long line it lies.
int pixel(qreal coordinate)
{
    constexpr qreal far = 1 << 30;
    return qRound(std::clamp(coordinate, -far, far));
}

// Qt's own interfaces leave words and sentences in these boxes to
// QAccessibleTextInterface::textAtOffset, which in Qt 6.4 loops for good when its search
// for a boundary runs into either end of the text: Ctrl+Left at the end of a typed figure
// froze the program, and any client on the accessibility bus could freeze it by asking.
// They also answer a run of attributes of no length at every offset, and Orca, which cuts
// a line at those runs, read "1300" as "130"; they give a word without the blanks after
// it, so Orca's word navigation in the report came out empty; they count an emoji as two
// characters, where AT-SPI and GTK count one; and the figure boxes placed their characters
// as if their centred text were left-aligned and left-to-right.
//
// Here every query is answered from the text alone, by character, word, sentence, line (as
// the box shows its lines) and paragraph; at, before and after any offset, -2 meaning the
// caret and -1 the end; the text given is always the text between the offsets given.
// Every offset, taken or given, counts characters, and every offset a client sends, any
// int, is brought into the text in one place (within()) before anything else sees it. The
// text's items are worked out once per text, so a second question on a long figure costs
// next to nothing. A locked box refuses every edit, through this interface as from the
// keyboard, and stays readable and copyable.
class AccessibleTextBox : public QAccessibleWidget,
                          public QAccessibleTextInterface,
                          public QAccessibleEditableTextInterface
{
public:
    explicit AccessibleTextBox(QWidget *widget)
        : QAccessibleWidget(widget, QAccessible::EditableText)
    { }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        if (type == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = locked();
        state.editable = !locked();
        state.selectableText = true;
        return state;
    }

    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Value ? content() : QAccessibleWidget::text(kind);
    }

    void setText(QAccessible::Text kind, const QString &text) override
    {
        if (kind == QAccessible::Value)
            edit(0, characterCount(), text);
        else
            QAccessibleWidget::setText(kind, text);
    }

    QString text(int startOffset, int endOffset) const override
    {
        const Characters &all = characters();
        const int start = within(startOffset);
        return all.slice(start, std::max(start, within(endOffset)));
    }

    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType kind, int *startOffset,
        int *endOffset) const override
    {
        return textNear(offset, kind, -1, startOffset, endOffset);
    }
    QString textAtOffset(int offset, QAccessible::TextBoundaryType kind, int *startOffset,
        int *endOffset) const override
    {
        return textNear(offset, kind, 0, startOffset, endOffset);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType kind, int *startOffset,
        int *endOffset) const override
    {
        return textNear(offset, kind, 1, startOffset, endOffset);
    }

    int characterCount() const override { return characters().count(); }

    int cursorPosition() const override { return characters().characterOf(caret()); }
    void setCursorPosition(int position) override { setCaret(unitAt(position)); }

    int selectionCount() const override
    {
        const auto [start, end] = selected();
        return start < end ? 1 : 0;
    }
    void selection(int selectionIndex, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = 0;
        const auto [start, end] = selected();
        if (selectionIndex == 0 && start < end) {
            *startOffset = characters().characterOf(start);
            *endOffset = characters().characterOf(end);
        }
    }
    void setSelection(int selectionIndex, int startOffset, int endOffset) override
    {
        if (selectionIndex == 0)
            select(unitAt(startOffset), unitAt(endOffset));
    }
    void addSelection(int startOffset, int endOffset) override
    {
        setSelection(0, startOffset, endOffset);
    }
    void removeSelection(int selectionIndex) override
    {
        if (selectionIndex == 0)
            select(caret(), caret());
    }

    // The whole text is in one font and one colour: one run.
    QString attributes(int, int *startOffset, int *endOffset) const override
    {
        *startOffset = 0;
        *endOffset = characterCount();
        return QString();
    }

    QRect characterRect(int offset) const override
    {
        const Characters &all = characters();
        if (offset < 0 || offset >= all.count())
            return QRect();
        const int unit = all.unitOf(offset);
        return unitRect(unit, all.unitOf(offset + 1) - unit);
    }

    int offsetAtPoint(const QPoint &point) const override
    {
        const int unit = unitAtPoint(point);
        return unit < 0 ? -1 : characters().characterOf(unit);
    }

    void deleteText(int startOffset, int endOffset) override
    {
        edit(startOffset, endOffset, QString());
    }
    void insertText(int offset, const QString &text) override { edit(offset, offset, text); }
    void replaceText(int startOffset, int endOffset, const QString &text) override
    {
        edit(startOffset, endOffset, text);
    }

protected:
    // The text as assistive technology reads it, lines separated by LF.
    virtual QString content() const = 0;
    virtual bool locked() const = 0;
    // Where each line starts as the box shows it, in units, the first at 0.
    virtual std::vector<int> lineStarts() const = 0;
    // Replaces a part of an unlocked box's text, as typing over a selection would.
    virtual void replace(int start, int end, const QString &text) = 0;

    // The caret and the selection, in units of content(); the selection's ends in order.
    virtual int caret() const = 0;
    virtual void setCaret(int unit) = 0;
    virtual Span selected() const = 0;
    // Selects from anchor to caret, or only places the caret when the two are the same.
    virtual void select(int anchor, int caret) = 0;

    // Where the box draws the units from unit on, one character, on screen; and the unit
    // of the character drawn at a point on screen, -1 where there is none.
    virtual QRect unitRect(int unit, int length) const = 0;
    virtual int unitAtPoint(const QPoint &point) const = 0;

    // The text now, counted as assistive technology counts it; kept while the text stays.
    const Characters &characters() const
    {
        const QString now = content();
        if (!m_characters || !same(now, m_characters->units()))
            m_characters = std::make_unique<const Characters>(now);
        return *m_characters;
    }

private:
    // An offset a client sends, any int, as one in the text: 0 to the count of characters.
    int within(int offset) const { return std::clamp(offset, 0, characterCount()); }
    int unitAt(int offset) const { return characters().unitOf(within(offset)); }

    QString textNear(int offset, QAccessible::TextBoundaryType kind, int step, int *startOffset,
        int *endOffset) const
    {
        const Characters &all = characters();
        if (offset == -2)
            offset = cursorPosition();
        else if (offset == -1)
            offset = all.count();
        offset = within(offset);
        std::vector<int> lines;
        if (kind == QAccessible::LineBoundary) {
            lines = lineStarts();
            for (int &start : lines)
                start = all.characterOf(start);
        }
        const Span item = itemNear(kind == QAccessible::LineBoundary ? lines : all.starts(kind),
            all.count(), offset, step);
        *startOffset = item.start;
        *endOffset = item.end;
        return all.slice(item.start, item.end);
    }

    void edit(int startOffset, int endOffset, const QString &text)
    {
        if (locked())
            return;
        const int start = unitAt(std::min(startOffset, endOffset));
        const int end = unitAt(std::max(startOffset, endOffset));
        replace(start, end, text);
    }

    mutable std::unique_ptr<const Characters> m_characters;
};

// Tells when a figure box may have moved its text sideways. Qt scrolls a box's text only as
// it paints it, and a paint moves nothing unless the caret, the text, the size, the margins
// or the alignment changed since the one before: a blinking caret repaints the box twice a
// second and moves nothing.
class ScrollWatch final : public QObject
{
public:
    explicit ScrollWatch(QLineEdit &edit) : QObject(&edit) { edit.installEventFilter(this); }

    unsigned moves() const { return m_moves; }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::Paint: {
            const auto &edit = static_cast<const QLineEdit &>(*watched);
            Shown now { edit.displayText(), edit.cursorPosition(), edit.size(), edit.textMargins(),
                edit.alignment() };
            if (!now.same(m_painted)) {
                m_painted = std::move(now);
                ++m_moves;
            }
            break;
        }
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Polish:
        case QEvent::StyleChange:
        case QEvent::FontChange:
        case QEvent::ContentsRectChange:
        case QEvent::LayoutDirectionChange:
            ++m_moves;
            break;
        default:
            break;
        }
        return false;
    }

private:
    struct Shown
    {
        QString text;
        int caret = -1;
        QSize size;
        QMargins margins;
        Qt::Alignment alignment;

        bool same(const Shown &other) const
        {
            return platform::same(text, other.text) && caret == other.caret && size == other.size
                && margins == other.margins && alignment == other.alignment;
        }
    };

    Shown m_painted;
    unsigned m_moves = 0;
};

class AccessibleLineEdit final : public AccessibleTextBox
{
public:
    explicit AccessibleLineEdit(QLineEdit *edit)
        : AccessibleTextBox(edit), m_edit(*edit), m_watch(new ScrollWatch(*edit))
    { }
    ~AccessibleLineEdit() override { delete m_watch.data(); }

    void scrollToSubstring(int startIndex, int endIndex) override
    {
        setCursorPosition(endIndex);
        setCursorPosition(startIndex);
    }

protected:
    QString content() const override { return m_edit.displayText(); }
    bool locked() const override { return m_edit.isReadOnly(); }
    std::vector<int> lineStarts() const override { return { 0 }; }

    // Through the box's own insertion, so that the box's length limit and validator hold
    // as they do for typing and pasting.
    void replace(int start, int end, const QString &text) override
    {
        m_edit.setSelection(start, end - start);
        m_edit.insert(text);
    }

    int caret() const override { return m_edit.cursorPosition(); }
    void setCaret(int unit) override { m_edit.setCursorPosition(unit); }
    Span selected() const override
    {
        if (!m_edit.hasSelectedText())
            return { caret(), caret() };
        return { m_edit.selectionStart(), m_edit.selectionEnd() };
    }
    void select(int anchor, int caret) override
    {
        if (anchor == caret)
            m_edit.setCursorPosition(caret);
        else
            m_edit.setSelection(anchor, caret - anchor);
    }

    QRect unitRect(int unit, int length) const override
    {
        const Layout &laid = layout();
        const Extent extent = extentOf(laid.line, unit, length);
        const QPointF topLeft = m_edit.mapToGlobal(laid.origin + QPointF(extent.left, 0));
        const int left = pixel(topLeft.x());
        return QRect(left, pixel(topLeft.y()),
            pixel(topLeft.x() + extent.right - extent.left) - left, qRound(laid.line.height()));
    }

    int unitAtPoint(const QPoint &point) const override
    {
        const Layout &laid = layout();
        const QPointF at = m_edit.mapFromGlobal(QPointF(point)) - laid.origin;
        const int length = int(laid.layout.text().size());
        if (length == 0 || at.x() < 0 || at.x() >= laid.line.naturalTextWidth() || at.y() < 0
            || at.y() >= laid.line.height())
            return -1;
        return characterAt(laid.line, laid.layout.text(), at.x(), 0, length - 1);
    }

private:
    // The box's text laid out as the box lays it out, and placed where the box draws it.
    struct Layout
    {
        QTextLayout layout;
        QTextLine line;
        QFont font;
        // Where the box draws the layout's origin, and the last of the box's moves that
        // was seen there.
        QPointF origin;
        std::optional<unsigned> placedAt;
    };

    // Laid out once per text and font; placed again only when the box may have moved it.
    const Layout &layout() const
    {
        const Characters &shown = characters();
        if (!m_layout || !same(m_layout->layout.text(), shown.units())
            || m_layout->font != m_edit.font()) {
            m_layout = std::make_unique<Layout>();
            Layout &laid = *m_layout;
            laid.font = m_edit.font();
            laid.layout.setText(shown.units());
            laid.layout.setFont(laid.font);
            laid.layout.setCacheEnabled(true);
            // The box lays its text out in the direction of the text, whichever the box's own
            // is. Told once which that is, the layout answers each question without looking
            // for it again through the whole text.
            QTextOption option;
            option.setTextDirection(
                shown.units().isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
            option.setFlags(QTextOption::IncludeTrailingSpaces);
            laid.layout.setTextOption(option);
            laid.layout.beginLayout();
            laid.line = laid.layout.createLine();
            laid.layout.endLayout();
        }
        Layout &laid = *m_layout;
        const unsigned moves = m_watch ? m_watch->moves() : 0;
        if (!m_watch || laid.placedAt != moves) {
            // The box tells where it draws the caret: a box around it reaching 5 pixels to
            // its left. The same caret in this layout tells where the layout is drawn,
            // whichever direction its text runs.
            const QRectF caret = m_edit.inputMethodQuery(Qt::ImCursorRectangle).toRectF();
            laid.origin
                = QPointF(caret.left() + 5 - qRound(laid.line.cursorToX(m_edit.cursorPosition())),
                    caret.top());
            laid.placedAt = moves;
        }
        return laid;
    }

    QLineEdit &m_edit;
    QPointer<ScrollWatch> m_watch;
    mutable std::unique_ptr<Layout> m_layout;
};

class AccessiblePlainTextEdit final : public AccessibleTextBox
{
public:
    explicit AccessiblePlainTextEdit(QPlainTextEdit *edit) : AccessibleTextBox(edit), m_edit(*edit)
    { }

    QAccessible::State state() const override
    {
        QAccessible::State state = AccessibleTextBox::state();
        state.multiLine = true;
        return state;
    }

    // Showing a part of the text is the user's scrolling, not a screen reader's.
    void scrollToSubstring(int, int) override { }

protected:
    QString content() const override
    {
        return m_edit.document()->toRawText().replace(QChar::ParagraphSeparator, u'\n');
    }
    bool locked() const override { return m_edit.isReadOnly(); }

    std::vector<int> lineStarts() const override
    {
        std::vector<int> starts;
        for (QTextBlock block = m_edit.document()->begin(); block.isValid(); block = block.next()) {
            const QTextLayout &layout = *block.layout();
            // A block the box has not laid out yet has no lines; finding where it is drawn
            // lays it out.
            if (layout.lineCount() == 0)
                originOf(block);
            starts.push_back(block.position());
            for (int i = 1; i < layout.lineCount(); ++i)
                starts.push_back(block.position() + layout.lineAt(i).textStart());
        }
        return starts;
    }

    void replace(int start, int end, const QString &text) override
    {
        QTextCursor cursor(m_edit.document());
        cursor.setPosition(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        cursor.insertText(text);
    }

    int caret() const override { return m_edit.textCursor().position(); }
    void setCaret(int unit) override { select(unit, unit); }
    Span selected() const override
    {
        const QTextCursor cursor = m_edit.textCursor();
        return { cursor.selectionStart(), cursor.selectionEnd() };
    }
    void select(int anchor, int caret) override
    {
        QTextCursor cursor = m_edit.textCursor();
        cursor.setPosition(anchor);
        cursor.setPosition(caret, QTextCursor::KeepAnchor);
        m_edit.setTextCursor(cursor);
    }

    QRect unitRect(int unit, int length) const override
    {
        const QTextBlock block = m_edit.document()->findBlock(unit);
        if (!block.isValid())
            return QRect();
        const QPointF origin = originOf(block);
        const int inBlock = unit - block.position();
        const QTextLine line = block.layout()->lineForTextPosition(inBlock);
        if (!line.isValid())
            return QRect();
        Extent extent;
        if (inBlock < line.textStart() + line.textLength()) {
            extent = extentOf(line, inBlock, length);
        } else {
            // A line break is drawn as nothing; its box is a blank's width past the line's
            // end, on the side the line's text runs to.
            const qreal end = line.cursorToX(inBlock);
            const qreal blank = m_edit.fontMetrics().horizontalAdvance(u' ');
            extent = block.textDirection() == Qt::RightToLeft ? Extent { end - blank, end }
                                                              : Extent { end, end + blank };
        }
        const int left = pixel(origin.x() + extent.left);
        const int top = pixel(origin.y() + line.y());
        return QRect(m_edit.viewport()->mapToGlobal(QPoint(left, top)),
            QSize(pixel(origin.x() + extent.right) - left, qRound(line.height())));
    }

    // The character drawn at a point of the box's visible text, a line break beyond its
    // line's end.
    int unitAtPoint(const QPoint &point) const override
    {
        const QPointF at = m_edit.viewport()->mapFromGlobal(QPointF(point));
        const QSize shown = m_edit.viewport()->size();
        if (at.x() < 0 || at.y() < 0 || at.x() >= shown.width() || at.y() >= shown.height())
            return -1;
        const QTextBlock firstShown = m_edit.cursorForPosition(QPoint(0, 0)).block();
        for (QTextBlock block = firstShown; block.isValid(); block = block.next()) {
            const QPointF origin = originOf(block);
            if (origin.y() > at.y())
                break;
            const QTextLayout &layout = *block.layout();
            for (int i = 0; i < layout.lineCount(); ++i) {
                const QTextLine line = layout.lineAt(i);
                const qreal top = origin.y() + line.y();
                if (at.y() < top || at.y() >= top + line.height())
                    continue;
                const bool breaksAfter = i == layout.lineCount() - 1 && block.next().isValid();
                const int end = line.textStart() + line.textLength();
                const qreal x = at.x() - origin.x();
                if (breaksAfter) {
                    const Extent text = extentOf(line, line.textStart(), end - line.textStart());
                    const bool rightToLeft = block.textDirection() == Qt::RightToLeft;
                    if (end == line.textStart() || (rightToLeft ? x < text.left : x >= text.right))
                        return block.position() + end;
                }
                if (end == line.textStart())
                    return -1;
                return block.position()
                    + characterAt(line, block.text(), x, line.textStart(), end - 1);
            }
        }
        return -1;
    }

private:
    // Where the box draws a block's layout, in its viewport. The box tells where it draws
    // a caret, laying the block out if it has not yet; the block's first line starts there.
    QPointF originOf(const QTextBlock &block) const
    {
        const QRect caret = m_edit.cursorRect(QTextCursor(block));
        const QTextLine first = block.layout()->lineAt(0);
        if (!first.isValid())
            return caret.topLeft();
        return QPointF(caret.x() - first.cursorToX(0), caret.y() - first.y());
    }

    QPlainTextEdit &m_edit;
};

} // namespace

QAccessibleInterface *accessibleTextBox(QWidget *widget)
{
    if (auto *edit = qobject_cast<QLineEdit *>(widget))
        return new AccessibleLineEdit(edit);
    if (auto *edit = qobject_cast<QPlainTextEdit *>(widget))
        return new AccessiblePlainTextEdit(edit);
    return nullptr;
}

} // namespace platform
