#pragma once

// The text boxes of a window: made here from their description, on Qt's QLineEdit and
// QPlainTextEdit, and seen by the calculation (calc/priceform.h) through adapters. The
// window (platform/window.h) asks for them as it builds itself.

#include "calc/priceform.h"
#include "platform/formdescription.h"

#include <QObject>
#include <QValidator>

#include <functional>
#include <memory>
#include <optional>

class QEvent;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace platform {

// A text box of the window. Locked boxes refuse typing, pasting and deleting but stay
// selectable, scrollable and copyable.
class TextBoxAdapter : public TextBox
{
public:
    virtual bool Locked() const = 0;
    virtual void setLocked(bool locked) = 0;
    virtual QWidget &widget() const = 0;
    // While held, texts written to the box are kept and shown on the last release, in one
    // update. Holds nest, as a handler can set off another (a list selected by code).
    virtual void holdUpdates() { }
    virtual void releaseUpdates() { }
};

class SingleLineTextBoxAdapter final : public TextBoxAdapter
{
public:
    explicit SingleLineTextBoxAdapter(QLineEdit &edit);

    QString Text() const override;
    void setText(const QString &text) override;
    bool Locked() const override;
    void setLocked(bool locked) override;
    QWidget &widget() const override;

private:
    QLineEdit &m_edit;
};

// A box with a limit counts UTF-16 units, so the limit can cut a pasted emoji in half; the
// half left over is dropped rather than shown as a broken character.
class WholeCharactersValidator final : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &position) const override;
};

// Qt keeps a multi-line text as paragraphs and gives it back with LF alone. The box keeps
// the text it was given, CR LF and all, and gives back exactly that until the user edits
// it; an edited text comes back with CR LF between its lines.
//
// Laying out and shaping text is the costly part of a text box, so the box shows a text
// only once it is on screen (a hidden box never lays its text out), and a text that
// extends the one shown is added at the end instead of being laid out anew. While the
// updates are held, the box shows nothing new until they are released.
//
// Each text the program writes is shown with the caret at its start, as a freshly filled
// text view has it, so that a screen reader reads on from the first line.
class MultiLineTextBoxAdapter final : public QObject, public TextBoxAdapter
{
public:
    explicit MultiLineTextBoxAdapter(QPlainTextEdit &edit);

    QString Text() const override;
    void setText(const QString &text) override;
    bool Locked() const override;
    void setLocked(bool locked) override;
    QWidget &widget() const override;
    void holdUpdates() override;
    void releaseUpdates() override;

    // The box announces what the program writes to it, through `announce` (given the box
    // and the text as shown). Only a text written by the program inside an event handler is
    // announced, once the handler is done and the box shows it; even the same text as
    // before, as the user asked for it again. Nothing else is: not the user's typing, not
    // the text the box is made with, not a text written outside a handler.
    void setAnnounce(std::function<void(QWidget &box, const QString &shown)> announce);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showText();

    QPlainTextEdit &m_edit;
    QString m_text;
    // The text the document shows, as shown; none until the box is first shown.
    std::optional<QString> m_shown;
    // A text was written that the box does not show yet.
    bool m_unshown = false;
    int m_holds = 0;
    bool m_writtenWhileHeld = false;
    std::function<void(QWidget &, const QString &)> m_announce;
};

// A text box as its description has it, on the parent, with the adapter it is used through.
std::unique_ptr<TextBoxAdapter> makeTextBox(const ControlDescription &description, QWidget *parent);

} // namespace platform
