#include "platform/textboxes.h"

#include "platform/accessibility/accessibility.h"
#include "platform/accessibility/textunits.h"

#include <QEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

#include <limits>
#include <utility>

using namespace Qt::StringLiterals;

namespace platform {

SingleLineTextBoxAdapter::SingleLineTextBoxAdapter(QLineEdit &edit) : m_edit(edit) { }

QString SingleLineTextBoxAdapter::Text() const
{
    return m_edit.text();
}

void SingleLineTextBoxAdapter::setText(const QString &text)
{
    m_edit.setText(text);
}

bool SingleLineTextBoxAdapter::Locked() const
{
    return m_edit.isReadOnly();
}

void SingleLineTextBoxAdapter::setLocked(bool locked)
{
    m_edit.setReadOnly(locked);
}

QWidget &SingleLineTextBoxAdapter::widget() const
{
    return m_edit;
}

QValidator::State WholeCharactersValidator::validate(QString &input, int &position) const
{
    for (qsizetype i = input.size() - 1; i >= 0; --i) {
        const bool whole = !input[i].isSurrogate() || unitsOfCharacter(input, i) == 2
            || characterStart(input, i) != i;
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
QString textAsShown(QString text)
{
    text.replace(u"\r\n"_s, u"\n"_s);
    text.replace(u'\r', u'\n');
    if (text.endsWith(u'\n'))
        text.chop(1);
    return text;
}

} // namespace

MultiLineTextBoxAdapter::MultiLineTextBoxAdapter(QPlainTextEdit &edit) : m_edit(edit)
{
    m_edit.installEventFilter(this);
}

QString MultiLineTextBoxAdapter::Text() const
{
    // A text written but not shown yet (the updates held, or the box hidden) is the box's
    // text all the same, whatever the user typed before.
    if (m_unshown || !m_edit.document()->isModified())
        return m_text;
    return m_edit.toPlainText().replace(u'\n', u"\r\n"_s);
}

void MultiLineTextBoxAdapter::setText(const QString &text)
{
    m_text = text;
    m_unshown = true;
    if (m_holds > 0)
        m_writtenWhileHeld = true;
    if (m_edit.isVisible() && m_holds == 0) {
        showText();
        m_edit.moveCursor(QTextCursor::Start);
    }
}

void MultiLineTextBoxAdapter::holdUpdates()
{
    ++m_holds;
}

void MultiLineTextBoxAdapter::releaseUpdates()
{
    if (--m_holds != 0)
        return;
    const bool written = std::exchange(m_writtenWhileHeld, false);
    if (!m_edit.isVisible())
        return;
    showText();
    if (!written)
        return;
    m_edit.moveCursor(QTextCursor::Start);
    if (m_announce)
        m_announce(m_edit, *m_shown);
}

void MultiLineTextBoxAdapter::setAnnounce(
    std::function<void(QWidget &box, const QString &shown)> announce)
{
    m_announce = std::move(announce);
}

bool MultiLineTextBoxAdapter::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::Show && m_holds == 0)
        showText();
    return false;
}

void MultiLineTextBoxAdapter::showText()
{
    QTextDocument &document = *m_edit.document();
    const bool showsOurs = m_shown && !document.isModified();
    const QString next = textAsShown(m_text);
    m_unshown = false;
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

bool MultiLineTextBoxAdapter::Locked() const
{
    return m_edit.isReadOnly();
}

void MultiLineTextBoxAdapter::setLocked(bool locked)
{
    m_edit.setReadOnly(locked);
    // Read-only alone would leave only the mouse to select; the keyboard and screen
    // readers need the caret too.
    if (locked)
        m_edit.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

QWidget &MultiLineTextBoxAdapter::widget() const
{
    return m_edit;
}

std::unique_ptr<TextBoxAdapter> makeTextBox(const ControlDescription &description, QWidget *parent)
{
    std::unique_ptr<TextBoxAdapter> adapter;
    if (description.multiLine) {
        auto *edit = new QPlainTextEdit(parent);
        edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        edit->setWordWrapMode(QTextOption::WordWrap);
        // Tab moves on through the form; it never lands in the text as a character.
        edit->setTabChangesFocus(true);
        auto multiLine = std::make_unique<MultiLineTextBoxAdapter>(*edit);
        if (description.announce)
            multiLine->setAnnounce(announce);
        adapter = std::move(multiLine);
    } else {
        auto *edit = new QLineEdit(parent);
        if (description.centred)
            edit->setAlignment(Qt::AlignCenter);
        // Qt cuts a line at 32767 characters unless told otherwise; a box without a limit
        // keeps everything pasted into it, and the calculation says what it makes of it.
        edit->setMaxLength(
            description.maxLength > 0 ? description.maxLength : std::numeric_limits<int>::max());
        if (description.maxLength > 0)
            edit->setValidator(new WholeCharactersValidator(edit));
        adapter = std::make_unique<SingleLineTextBoxAdapter>(*edit);
    }
    adapter->setLocked(description.locked);
    return adapter;
}

} // namespace platform
