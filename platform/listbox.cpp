#include "platform/listbox.h"

#include "calc/runtimeerror.h"
#include "platform/drawing.h"

#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QPainter>

#include <algorithm>

namespace platform {

// Qt marks a focused list only by a faint frame round its current entry, and a list
// reached by Tab has a current entry but no selection; the mark round the whole list
// shows where the keyboard is either way.
void ListBoxWidget::paintEvent(QPaintEvent *event)
{
    QListWidget::paintEvent(event);
    if (hasFocus()) {
        QPainter painter(viewport());
        drawFocusMark(painter, viewport()->rect(), palette().color(QPalette::Base));
    }
}

// A list reached by Tab makes its first entry current without choosing it, and Qt 6.4's item
// views choose only when a key moves to another entry (QAbstractItemView::keyPressEvent), so
// Home or Up there chose no carat and the report then stayed unwritten. A list box chooses
// the entry its keys lead to, as Windows' and GTK's do.
void ListBoxWidget::keyPressEvent(QKeyEvent *event)
{
    QListWidget::keyPressEvent(event);
    static constexpr int movingKeys[] { Qt::Key_Home, Qt::Key_End, Qt::Key_Up, Qt::Key_Down,
        Qt::Key_PageUp, Qt::Key_PageDown };
    const bool moving = std::find(std::begin(movingKeys), std::end(movingKeys), event->key())
        != std::end(movingKeys);
    // Ctrl moves without choosing; the keypad's Home and arrows count as the others.
    if (moving && !event->modifiers().testFlag(Qt::ControlModifier) && currentIndex().isValid()
        && selectionModel()->selectedIndexes().isEmpty()) {
        selectionModel()->select(currentIndex(), QItemSelectionModel::ClearAndSelect);
        event->accept();
    }
}

ListBoxAdapter::ListBoxAdapter(QListWidget &list) : m_list(list) { }

// The selected entry, not Qt's current one: a list that takes the focus gets a current
// entry without anything being selected.
int ListBoxAdapter::ListIndex() const
{
    const QModelIndexList selected = m_list.selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

// Selecting an entry from code fires the list's click handler, as a click by the user does:
// the window runs it on every new selection (platform/window.cpp).
void ListBoxAdapter::setListIndex(int position)
{
    if (position == -1) {
        m_list.clearSelection();
        m_list.setCurrentRow(-1);
        return;
    }
    if (position < -1 || position >= m_list.count())
        throw RuntimeError(ErrorKind::InvalidPropertyValue, QString::number(position));
    m_list.setCurrentRow(position, QItemSelectionModel::ClearAndSelect);
}

QString ListBoxAdapter::List(int position) const
{
    if (position < 0 || position >= m_list.count())
        throw RuntimeError(ErrorKind::InvalidPropertyArrayIndex, QString::number(position));
    return m_list.item(position)->text();
}

QWidget &ListBoxAdapter::widget() const
{
    return m_list;
}

} // namespace platform
