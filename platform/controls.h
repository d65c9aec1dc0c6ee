#pragma once

#include "calc/controls.h"

#include <QListWidget>
#include <QPushButton>
#include <QValidator>

#include <optional>

class QLineEdit;
class QEvent;
class QKeyEvent;
class QPaintEvent;
class QPlainTextEdit;
class QWidget;

namespace platform {

// A text box of the window. Locked boxes refuse typing, pasting and deleting but stay
// selectable, scrollable and copyable.
class TextBoxControl : public TextBox
{
public:
    virtual bool Locked() const = 0;
    virtual void setLocked(bool locked) = 0;
    virtual QWidget &widget() const = 0;
    // While held, texts written to the box are kept and shown on the last release, in one
    // change. Holds nest, as a handler can set off another (a list selected by code).
    virtual void holdDisplay() { }
    virtual void releaseDisplay() { }
};

class SingleLineTextBox final : public TextBoxControl
{
public:
    explicit SingleLineTextBox(QLineEdit &edit);

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
class WholeCharacters final : public QValidator
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
// display is held, the box shows nothing new until it is released.
//
// Each text the program writes is shown with the caret at its start, as a freshly filled
// text view has it, so that a screen reader reads on from the first line. A box that
// announces is the program's output: what a handler writes there is announced to screen
// readers when the display is released, as they would not read a change in a box that
// does not have the focus.
class MultiLineTextBox final : public QObject, public TextBoxControl
{
public:
    MultiLineTextBox(QPlainTextEdit &edit, bool announces);

    QString Text() const override;
    void setText(const QString &text) override;
    bool Locked() const override;
    void setLocked(bool locked) override;
    QWidget &widget() const override;
    void holdDisplay() override;
    void releaseDisplay() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void show();

    QPlainTextEdit &m_edit;
    QString m_text;
    // The text the document shows, as shown; none until the box is first shown.
    std::optional<QString> m_shown;
    int m_holds = 0;
    bool m_writtenWhileHeld = false;
    const bool m_announces;
};

// The widget of a list box: it marks the keyboard focus round its entries. A hidden one
// says nothing to assistive technology (the window sees to that for every hidden control).
class ListBoxWidget final : public QListWidget
{
public:
    using QListWidget::QListWidget;

protected:
    void paintEvent(QPaintEvent *event) override;
};

class ListBoxControl final : public ListBox
{
public:
    explicit ListBoxControl(QListWidget &list);

    int ListIndex() const override;
    void setListIndex(int position) override;
    QString List(int position) const override;
    int ListCount() const;
    QWidget &widget() const;

private:
    QListWidget &m_list;
};

// A button of the graphical style: its face is its back colour, flat and exact, with a
// raised edge that sinks while it is pressed. The style's own buttons would shade the
// colour into a gradient.
class GraphicalButton final : public QPushButton
{
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace platform
