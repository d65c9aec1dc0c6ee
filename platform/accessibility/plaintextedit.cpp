#include "platform/accessibility/plaintextedit.h"

#include "platform/accessibility/lineplaces.h"
#include "platform/accessibility/textinterface.h"

#include <QAbstractTextDocumentLayout>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>

#include <algorithm>

namespace platform {

namespace {

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
            // A block Qt 6.4.2's box has not laid out yet has no lines; finding where it is
            // drawn lays it out.
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
            extent = extentOf(*block.layout(), line, inBlock, length);
        } else {
            // Qt 6.4.2 draws a line break as nothing; its box is a blank's width past the
            // line's end, on the side the line's text runs to.
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
                    // The line ends past its last glyph, or past a blank Qt 6.4.2 draws as
                    // none, where the caret after it stands.
                    const Extent text
                        = extentOf(layout, line, line.textStart(), end - line.textStart());
                    const qreal caret = line.cursorToX(end);
                    const bool rightToLeft = block.textDirection() == Qt::RightToLeft;
                    if (end == line.textStart()
                        || (rightToLeft ? x < std::min(text.left, caret)
                                        : x >= std::max(text.right, caret)))
                        return block.position() + end;
                }
                if (end == line.textStart())
                    return -1;
                return block.position() + characterAt(layout, line, x, line.textStart(), end - 1);
            }
        }
        return -1;
    }

private:
    // Where the box draws a block's layout, in its viewport. Qt 6.4.2's box tells where it
    // draws a caret, laying the block out if it has not yet; the block's first line starts
    // there.
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

QAccessibleInterface *accessiblePlainTextEdit(QPlainTextEdit *edit)
{
    return new AccessiblePlainTextEdit(edit);
}

} // namespace platform
