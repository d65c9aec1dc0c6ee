#include "platform/controls.h"

#include "calc/runtimeerror.h"
#include "platform/accessibility/accessibility.h"
#include "platform/contrast.h"

#include <QEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <qdrawutil.h>

#include <utility>

using namespace Qt::StringLiterals;

namespace platform {

SingleLineTextBox::SingleLineTextBox(QLineEdit &edit) : m_edit(edit) { }

QString SingleLineTextBox::Text() const
{
    return m_edit.text();
}

void SingleLineTextBox::setText(const QString &text)
{
    m_edit.setText(text);
}

bool SingleLineTextBox::Locked() const
{
    return m_edit.isReadOnly();
}

void SingleLineTextBox::setLocked(bool locked)
{
    m_edit.setReadOnly(locked);
}

QWidget &SingleLineTextBox::widget() const
{
    return m_edit;
}

QValidator::State WholeCharacters::validate(QString &input, int &position) const
{
    for (qsizetype i = input.size() - 1; i >= 0; --i) {
        const QChar c = input[i];
        const bool whole = c.isHighSurrogate()
            ? i + 1 < input.size() && input[i + 1].isLowSurrogate()
            : !c.isLowSurrogate() || (i > 0 && input[i - 1].isHighSurrogate());
        if (!whole) {
            input.remove(i, 1);
            if (position > i)
                --position;
        }
    }
    return Acceptable;
}

namespace {

// Every kind of line end starts a new line on screen; the stored text keeps its own. The
// end of the last line shows nothing and is left out, so that the end of the text (Ctrl+End)
// is on the last line, which a screen reader reads, and not on an empty one after it.
QString displayedText(QString text)
{
    text.replace(u"\r\n"_s, u"\n"_s);
    text.replace(u'\r', u'\n');
    if (text.endsWith(u'\n'))
        text.chop(1);
    return text;
}

} // namespace

MultiLineTextBox::MultiLineTextBox(QPlainTextEdit &edit, bool announces)
    : m_edit(edit), m_announces(announces)
{
    m_edit.installEventFilter(this);
}

QString MultiLineTextBox::Text() const
{
    if (!m_edit.document()->isModified())
        return m_text;
    return m_edit.toPlainText().replace(u'\n', u"\r\n"_s);
}

void MultiLineTextBox::setText(const QString &text)
{
    m_text = text;
    if (m_holds > 0)
        m_writtenWhileHeld = true;
    if (m_edit.isVisible() && m_holds == 0) {
        show();
        m_edit.moveCursor(QTextCursor::Start);
    }
}

void MultiLineTextBox::holdDisplay()
{
    ++m_holds;
}

void MultiLineTextBox::releaseDisplay()
{
    if (--m_holds != 0)
        return;
    const bool written = std::exchange(m_writtenWhileHeld, false);
    if (!m_edit.isVisible())
        return;
    show();
    if (!written)
        return;
    m_edit.moveCursor(QTextCursor::Start);
    // Even a text the same as before is news: the user pressed for it. An empty one is not.
    if (m_announces && !m_edit.hasFocus() && !m_text.isEmpty())
        announce(m_edit, m_shown->trimmed());
}

bool MultiLineTextBox::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::Show && m_holds == 0)
        show();
    return false;
}

void MultiLineTextBox::show()
{
    QTextDocument &document = *m_edit.document();
    const bool showsOurs = m_shown && !document.isModified();
    const QString next = displayedText(m_text);
    if (showsOurs && next == *m_shown)
        return;
    if (showsOurs && next.startsWith(*m_shown)) {
        // What the program writes is not the user's to undo, here as after setPlainText.
        document.setUndoRedoEnabled(false);
        QTextCursor end(&document);
        end.movePosition(QTextCursor::End);
        end.insertText(next.sliced(m_shown->size()));
        document.setUndoRedoEnabled(true);
    } else {
        m_edit.setPlainText(next);
    }
    document.setModified(false);
    m_shown = next;
}

bool MultiLineTextBox::Locked() const
{
    return m_edit.isReadOnly();
}

void MultiLineTextBox::setLocked(bool locked)
{
    m_edit.setReadOnly(locked);
    // Read-only alone would leave only the mouse to select; the keyboard and screen
    // readers need the caret too.
    if (locked)
        m_edit.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

QWidget &MultiLineTextBox::widget() const
{
    return m_edit;
}

namespace {

// Where the keyboard is, drawn so that nobody has to hunt for it: a dotted rectangle in
// black or white, whichever stands out from what is behind it, inside the control's edge.
void drawFocusMark(QPainter &painter, const QRect &inside, const QColor &background)
{
    painter.save();
    QPen pen(standingOut(background, Qt::black, MarkContrast), 2, Qt::DotLine);
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.setRenderHint(QPainter::Antialiasing, false);
    // A pen of two pixels straddles the rectangle's outline; this keeps it inside.
    painter.drawRect(QRectF(inside).adjusted(1, 1, -1, -1));
    painter.restore();
}

} // namespace

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

ListBoxControl::ListBoxControl(QListWidget &list) : m_list(list) { }

// The selected entry, not Qt's current one: a list that takes the focus gets a current
// entry without anything being selected.
int ListBoxControl::ListIndex() const
{
    const QModelIndexList selected = m_list.selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void ListBoxControl::setListIndex(int position)
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

QString ListBoxControl::List(int position) const
{
    if (position < 0 || position >= m_list.count())
        throw RuntimeError(ErrorKind::InvalidPropertyArrayIndex, QString::number(position));
    return m_list.item(position)->text();
}

int ListBoxControl::ListCount() const
{
    return m_list.count();
}

QWidget &ListBoxControl::widget() const
{
    return m_list;
}

// Outside a dialog Qt's buttons answer only Space; a user who reached a button with Tab
// expects Enter to press it as well, at once, as a dialog's buttons do.
void GraphicalButton::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void GraphicalButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QColor face = palette().color(QPalette::Button);
    const bool sunken = isDown();
    // The edge's light and shadow come from the face colour, as on a real 3D button.
    qDrawWinButton(&painter, rect(), QPalette(face), sunken, &palette().brush(QPalette::Button));
    painter.setPen(palette().color(QPalette::ButtonText));
    const int shift = sunken ? 1 : 0;
    painter.drawText(rect().translated(shift, shift), Qt::AlignCenter, text());
    if (hasFocus())
        drawFocusMark(painter, rect().adjusted(2, 2, -2, -2), face);
}

} // namespace platform
