#pragma once

// What a screen reader reads of a text box: the text interface that single-line boxes
// (lineedit.h) and multi-line ones (plaintextedit.h) share.

#include "platform/accessibility/textunits.h"

#include <QAccessibleWidget>

#include <memory>
#include <vector>

namespace platform {

// Qt's own interfaces (as of Qt 6.4.2) leave words and sentences in these boxes to
// QAccessibleTextInterface::textAtOffset, which loops for good when its search
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
    explicit AccessibleTextBox(QWidget *widget);

    void *interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text kind) const override;
    void setText(QAccessible::Text kind, const QString &text) override;

    QString text(int startOffset, int endOffset) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType kind, int *startOffset,
        int *endOffset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType kind, int *startOffset,
        int *endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType kind, int *startOffset,
        int *endOffset) const override;
    int characterCount() const override;

    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    int selectionCount() const override;
    void selection(int selectionIndex, int *startOffset, int *endOffset) const override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;

    // The whole text is in one font and one colour: one run.
    QString attributes(int offset, int *startOffset, int *endOffset) const override;

    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint &point) const override;

    void deleteText(int startOffset, int endOffset) override;
    void insertText(int offset, const QString &text) override;
    void replaceText(int startOffset, int endOffset, const QString &text) override;

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
    const Characters &characters() const;

private:
    // An offset a client sends, any int, as one in the text: 0 to the count of characters.
    int within(int offset) const;
    int unitAt(int offset) const;

    QString textNear(int offset, QAccessible::TextBoundaryType kind, int step, int *startOffset,
        int *endOffset) const;
    void edit(int startOffset, int endOffset, const QString &text);

    mutable std::unique_ptr<const Characters> m_characters;
};

} // namespace platform
