#include "platform/listbox.h"

#include "calc/runtimeerror.h"
#include "platform/drawing.h"

#include <QItemSelectionModel>
#include <QPainter>

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

int ListBoxAdapter::ListCount() const
{
    return m_list.count();
}

QWidget &ListBoxAdapter::widget() const
{
    return m_list;
}

} // namespace platform
