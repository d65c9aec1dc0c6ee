#include "platform/accessibility/textbox.h"

#include <QAbstractTextDocumentLayout>
#include <QAccessibleWidget>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextLayout>

#include <algorithm>
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

// Qt's own interfaces leave words and sentences in these boxes to
// QAccessibleTextInterface::textAtOffset, which in Qt 6.4 loops for good when its search
// for a boundary runs into either end of the text: Ctrl+Left at the end of a typed figure
// froze the program, and any client on the accessibility bus could freeze it by asking.
// They also answer a run of attributes of no length at every offset, and Orca, which cuts
// a line at those runs, read "1300" as "130"; they give a word without the blanks after
// it, so Orca's word navigation in the report came out empty; and the figure boxes placed
// their characters as if their centred text were left-aligned.
//
// Here every query is answered from the text alone, in one pass over it: by character,
// word, sentence, line (as the box shows its lines) and paragraph; at, before and after
// any offset, -2 meaning the caret and -1 the end; the text given is always the text
// between the offsets given. A locked box refuses every edit, through this interface as
// from the keyboard, and stays readable and copyable.
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
        const QString all = content();
        const int start = std::clamp(startOffset, 0, int(all.size()));
        const int end = std::clamp(endOffset, start, int(all.size()));
        return all.sliced(start, end - start);
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

    int characterCount() const override { return int(content().size()); }

    // The whole text is in one font and one colour: one run.
    QString attributes(int, int *startOffset, int *endOffset) const override
    {
        *startOffset = 0;
        *endOffset = characterCount();
        return QString();
    }

    void addSelection(int startOffset, int endOffset) override
    {
        setSelection(0, startOffset, endOffset);
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
    // Where each line starts as the box shows it, the first at 0.
    virtual std::vector<int> lineStarts() const = 0;
    // Replaces a part of an unlocked box's text, as typing over a selection would.
    virtual void replace(int start, int end, const QString &text) = 0;

private:
    QString textNear(int offset, QAccessible::TextBoundaryType kind, int step, int *startOffset,
        int *endOffset) const
    {
        const QString all = content();
        const int length = int(all.size());
        if (offset == -2)
            offset = cursorPosition();
        else if (offset == -1)
            offset = length;
        offset = std::clamp(offset, 0, length);
        const std::vector<int> starts
            = kind == QAccessible::LineBoundary ? lineStarts() : itemStarts(all, kind);
        const Span item = itemNear(starts, length, offset, step);
        *startOffset = item.start;
        *endOffset = item.end;
        return all.sliced(item.start, item.end - item.start);
    }

    void edit(int startOffset, int endOffset, const QString &text)
    {
        if (locked())
            return;
        const int length = characterCount();
        const int start = std::clamp(std::min(startOffset, endOffset), 0, length);
        const int end = std::clamp(std::max(startOffset, endOffset), 0, length);
        replace(start, end, text);
    }
};

class AccessibleLineEdit final : public AccessibleTextBox
{
public:
    explicit AccessibleLineEdit(QLineEdit *edit) : AccessibleTextBox(edit), m_edit(*edit) { }

    int cursorPosition() const override { return m_edit.cursorPosition(); }
    void setCursorPosition(int position) override { m_edit.setCursorPosition(position); }

    int selectionCount() const override { return m_edit.hasSelectedText() ? 1 : 0; }
    void selection(int selectionIndex, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = 0;
        if (selectionIndex == 0 && m_edit.hasSelectedText()) {
            *startOffset = m_edit.selectionStart();
            *endOffset = m_edit.selectionEnd();
        }
    }
    void setSelection(int selectionIndex, int startOffset, int endOffset) override
    {
        if (selectionIndex == 0)
            m_edit.setSelection(startOffset, endOffset - startOffset);
    }
    void removeSelection(int selectionIndex) override
    {
        if (selectionIndex == 0)
            m_edit.deselect();
    }

    void scrollToSubstring(int startIndex, int endIndex) override
    {
        m_edit.setCursorPosition(endIndex);
        m_edit.setCursorPosition(startIndex);
    }

    QRect characterRect(int offset) const override
    {
        const Layout laid(m_edit);
        if (offset < 0 || offset >= laid.length())
            return QRect();
        const int left = laid.left + qRound(laid.line.cursorToX(offset));
        const int right = laid.left + qRound(laid.line.cursorToX(offset + 1));
        return QRect(m_edit.mapToGlobal(QPoint(left, laid.top)),
            QSize(right - left, qRound(laid.line.height())));
    }

    int offsetAtPoint(const QPoint &point) const override
    {
        const Layout laid(m_edit);
        const QPoint at = m_edit.mapFromGlobal(point);
        const qreal x = at.x() - laid.left;
        if (laid.length() == 0 || x < 0 || x >= laid.line.naturalTextWidth() || at.y() < laid.top
            || at.y() >= laid.top + laid.line.height())
            return -1;
        return std::min(laid.line.xToCursor(x, QTextLine::CursorOnCharacter), laid.length() - 1);
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

private:
    // The box's text laid out as the box lays it out, and placed where the box draws it.
    // The box tells where it draws only through the caret position nearest a point, so the
    // place is read off that: where the caret flips from before the first character to
    // after it, on screen and in this layout.
    struct Layout
    {
        explicit Layout(QLineEdit &edit) : layout(edit.displayText(), edit.font())
        {
            QTextOption option;
            option.setTextDirection(edit.layoutDirection());
            option.setFlags(QTextOption::IncludeTrailingSpaces);
            layout.setTextOption(option);
            layout.beginLayout();
            line = layout.createLine();
            layout.endLayout();
            top = edit.inputMethodQuery(Qt::ImCursorRectangle).toRect().top();
            if (length() > 0) {
                const int onScreen = firstAfterStart(-(1 << 20), 1 << 20,
                    [&edit](int x) { return edit.cursorPositionAt(QPoint(x, 0)); });
                const int inLayout = firstAfterStart(0, qCeil(line.naturalTextWidth()) + 1,
                    [this](int x) { return line.xToCursor(x); });
                left = onScreen - inLayout;
            }
        }

        int length() const { return int(layout.text().size()); }

        // The least x in [low, high] at which the caret goes past the first character.
        template <class CaretAt> static int firstAfterStart(int low, int high, CaretAt caretAt)
        {
            while (low < high) {
                const int middle = low + (high - low) / 2;
                if (caretAt(middle) >= 1)
                    high = middle;
                else
                    low = middle + 1;
            }
            return low;
        }

        QTextLayout layout;
        QTextLine line;
        int left = 0;
        int top = 0;
    };

    QLineEdit &m_edit;
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

    int cursorPosition() const override { return m_edit.textCursor().position(); }
    void setCursorPosition(int position) override
    {
        QTextCursor cursor = m_edit.textCursor();
        cursor.setPosition(std::clamp(position, 0, characterCount()));
        m_edit.setTextCursor(cursor);
    }

    int selectionCount() const override { return m_edit.textCursor().hasSelection() ? 1 : 0; }
    void selection(int selectionIndex, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = 0;
        const QTextCursor cursor = m_edit.textCursor();
        if (selectionIndex == 0 && cursor.hasSelection()) {
            *startOffset = cursor.selectionStart();
            *endOffset = cursor.selectionEnd();
        }
    }
    void setSelection(int selectionIndex, int startOffset, int endOffset) override
    {
        if (selectionIndex != 0)
            return;
        const int length = characterCount();
        QTextCursor cursor = m_edit.textCursor();
        cursor.setPosition(std::clamp(startOffset, 0, length));
        cursor.setPosition(std::clamp(endOffset, 0, length), QTextCursor::KeepAnchor);
        m_edit.setTextCursor(cursor);
    }
    void removeSelection(int selectionIndex) override
    {
        if (selectionIndex != 0)
            return;
        QTextCursor cursor = m_edit.textCursor();
        cursor.clearSelection();
        m_edit.setTextCursor(cursor);
    }

    // Showing a part of the text is the user's scrolling, not a screen reader's.
    void scrollToSubstring(int, int) override { }

    QRect characterRect(int offset) const override
    {
        const QTextBlock block = m_edit.document()->findBlock(offset);
        if (offset < 0 || offset >= characterCount() || !block.isValid())
            return QRect();
        const QPointF origin = originOf(block);
        const int inBlock = offset - block.position();
        const QTextLine line = block.layout()->lineForTextPosition(inBlock);
        if (!line.isValid())
            return QRect();
        const qreal left = line.cursorToX(inBlock);
        // A line break is drawn as nothing; its box is a blank's width after the line.
        const qreal right = inBlock < line.textStart() + line.textLength()
            ? line.cursorToX(inBlock + 1)
            : left + m_edit.fontMetrics().horizontalAdvance(u' ');
        const QPoint topLeft(qRound(origin.x() + left), qRound(origin.y() + line.y()));
        return QRect(m_edit.viewport()->mapToGlobal(topLeft),
            QSize(qRound(origin.x() + right) - topLeft.x(), qRound(line.height())));
    }

    // The character drawn at a point of the box's visible text, a line break to the right
    // of its line's end.
    int offsetAtPoint(const QPoint &point) const override
    {
        const QPoint at = m_edit.viewport()->mapFromGlobal(point);
        if (!m_edit.viewport()->rect().contains(at))
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
                const int last = line.textStart() + line.textLength() - (breaksAfter ? 0 : 1);
                if (last < line.textStart())
                    return -1;
                const int inBlock
                    = line.xToCursor(at.x() - origin.x(), QTextLine::CursorOnCharacter);
                return block.position() + std::clamp(inBlock, line.textStart(), last);
            }
        }
        return -1;
    }

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
