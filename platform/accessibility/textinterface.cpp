#include "platform/accessibility/textinterface.h"

#include <algorithm>

namespace platform {

AccessibleTextBox::AccessibleTextBox(QWidget *widget)
    : QAccessibleWidget(widget, QAccessible::EditableText)
{ }

void *AccessibleTextBox::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    if (type == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State AccessibleTextBox::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = locked();
    state.editable = !locked();
    state.selectableText = true;
    return state;
}

QString AccessibleTextBox::text(QAccessible::Text kind) const
{
    return kind == QAccessible::Value ? content() : QAccessibleWidget::text(kind);
}

void AccessibleTextBox::setText(QAccessible::Text kind, const QString &text)
{
    if (kind == QAccessible::Value)
        edit(0, characterCount(), text);
    else
        QAccessibleWidget::setText(kind, text);
}

QString AccessibleTextBox::text(int startOffset, int endOffset) const
{
    const Characters &all = characters();
    const int start = within(startOffset);
    return all.slice(start, std::max(start, within(endOffset)));
}

QString AccessibleTextBox::textBeforeOffset(
    int offset, QAccessible::TextBoundaryType kind, int *startOffset, int *endOffset) const
{
    return textNear(offset, kind, -1, startOffset, endOffset);
}

QString AccessibleTextBox::textAtOffset(
    int offset, QAccessible::TextBoundaryType kind, int *startOffset, int *endOffset) const
{
    return textNear(offset, kind, 0, startOffset, endOffset);
}

QString AccessibleTextBox::textAfterOffset(
    int offset, QAccessible::TextBoundaryType kind, int *startOffset, int *endOffset) const
{
    return textNear(offset, kind, 1, startOffset, endOffset);
}

int AccessibleTextBox::characterCount() const
{
    return characters().count();
}

int AccessibleTextBox::cursorPosition() const
{
    return characters().characterOf(caret());
}

void AccessibleTextBox::setCursorPosition(int position)
{
    setCaret(unitAt(position));
}

int AccessibleTextBox::selectionCount() const
{
    const auto [start, end] = selected();
    return start < end ? 1 : 0;
}

void AccessibleTextBox::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = 0;
    const auto [start, end] = selected();
    if (selectionIndex == 0 && start < end) {
        *startOffset = characters().characterOf(start);
        *endOffset = characters().characterOf(end);
    }
}

void AccessibleTextBox::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0)
        select(unitAt(startOffset), unitAt(endOffset));
}

void AccessibleTextBox::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void AccessibleTextBox::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        select(caret(), caret());
}

QString AccessibleTextBox::attributes(int, int *startOffset, int *endOffset) const
{
    *startOffset = 0;
    *endOffset = characterCount();
    return QString();
}

QRect AccessibleTextBox::characterRect(int offset) const
{
    const Characters &all = characters();
    if (offset < 0 || offset >= all.count())
        return QRect();
    const int unit = all.unitOf(offset);
    return unitRect(unit, all.unitOf(offset + 1) - unit);
}

int AccessibleTextBox::offsetAtPoint(const QPoint &point) const
{
    const int unit = unitAtPoint(point);
    return unit < 0 ? -1 : characters().characterOf(unit);
}

void AccessibleTextBox::deleteText(int startOffset, int endOffset)
{
    edit(startOffset, endOffset, QString());
}

void AccessibleTextBox::insertText(int offset, const QString &text)
{
    edit(offset, offset, text);
}

void AccessibleTextBox::replaceText(int startOffset, int endOffset, const QString &text)
{
    edit(startOffset, endOffset, text);
}

const Characters &AccessibleTextBox::characters() const
{
    const QString now = content();
    if (!m_characters || !same(now, m_characters->units()))
        m_characters = std::make_unique<const Characters>(now);
    return *m_characters;
}

int AccessibleTextBox::within(int offset) const
{
    return std::clamp(offset, 0, characterCount());
}

int AccessibleTextBox::unitAt(int offset) const
{
    return characters().unitOf(within(offset));
}

QString AccessibleTextBox::textNear(int offset, QAccessible::TextBoundaryType kind, int step,
    int *startOffset, int *endOffset) const
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
    const Span item = itemNear(
        kind == QAccessible::LineBoundary ? lines : all.starts(kind), all.count(), offset, step);
    *startOffset = item.start;
    *endOffset = item.end;
    return all.slice(item.start, item.end);
}

void AccessibleTextBox::edit(int startOffset, int endOffset, const QString &text)
{
    if (locked())
        return;
    const int start = unitAt(std::min(startOffset, endOffset));
    const int end = unitAt(std::max(startOffset, endOffset));
    replace(start, end, text);
}

} // namespace platform
