#include "platform/accessibility/lineedit.h"

#include "platform/accessibility/lineplaces.h"
#include "platform/accessibility/textinterface.h"

#include <QLineEdit>
#include <QPointer>
#include <QTextLayout>

#include <optional>

namespace platform {

namespace {

// Tells when a figure box may have moved its text sideways. Qt 6.4.2 scrolls a box's text
// only as it paints it, and a paint moves nothing unless the caret, the text, the size, the
// margins or the alignment changed since the one before: a blinking caret repaints the box
// twice a second and moves nothing.
class ScrollWatch final : public QObject
{
public:
    explicit ScrollWatch(QLineEdit &edit) : QObject(&edit) { edit.installEventFilter(this); }

    unsigned moves() const { return m_moves; }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::Paint: {
            const auto &edit = static_cast<const QLineEdit &>(*watched);
            Shown now { edit.displayText(), edit.cursorPosition(), edit.size(), edit.textMargins(),
                edit.alignment() };
            if (!now.same(m_painted)) {
                m_painted = std::move(now);
                ++m_moves;
            }
            break;
        }
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Polish:
        case QEvent::StyleChange:
        case QEvent::FontChange:
        case QEvent::ContentsRectChange:
        case QEvent::LayoutDirectionChange:
            ++m_moves;
            break;
        default:
            break;
        }
        return false;
    }

private:
    struct Shown
    {
        QString text;
        int caret = -1;
        QSize size;
        QMargins margins;
        Qt::Alignment alignment;

        bool same(const Shown &other) const
        {
            return platform::same(text, other.text) && caret == other.caret && size == other.size
                && margins == other.margins && alignment == other.alignment;
        }
    };

    Shown m_painted;
    unsigned m_moves = 0;
};

class AccessibleLineEdit final : public AccessibleTextBox
{
public:
    explicit AccessibleLineEdit(QLineEdit *edit)
        : AccessibleTextBox(edit), m_edit(*edit), m_watch(new ScrollWatch(*edit))
    { }
    ~AccessibleLineEdit() override { delete m_watch.data(); }

    void scrollToSubstring(int startIndex, int endIndex) override
    {
        setCursorPosition(endIndex);
        setCursorPosition(startIndex);
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

    int caret() const override { return m_edit.cursorPosition(); }
    void setCaret(int unit) override { m_edit.setCursorPosition(unit); }
    Span selected() const override
    {
        if (!m_edit.hasSelectedText())
            return { caret(), caret() };
        return { m_edit.selectionStart(), m_edit.selectionEnd() };
    }
    void select(int anchor, int caret) override
    {
        if (anchor == caret)
            m_edit.setCursorPosition(caret);
        else
            m_edit.setSelection(anchor, caret - anchor);
    }

    QRect unitRect(int unit, int length) const override
    {
        const Layout &laid = layout();
        const Extent extent = extentOf(laid.layout, laid.line, unit, length);
        const QPointF topLeft = m_edit.mapToGlobal(laid.origin + QPointF(extent.left, 0));
        const int left = pixel(topLeft.x());
        return QRect(left, pixel(topLeft.y()),
            pixel(topLeft.x() + extent.right - extent.left) - left, qRound(laid.line.height()));
    }

    int unitAtPoint(const QPoint &point) const override
    {
        const Layout &laid = layout();
        const QPointF at = m_edit.mapFromGlobal(QPointF(point)) - laid.origin;
        const int length = int(laid.layout.text().size());
        if (length == 0 || at.x() < 0 || at.x() >= laid.line.naturalTextWidth() || at.y() < 0
            || at.y() >= laid.line.height())
            return -1;
        return characterAt(laid.layout, laid.line, at.x(), 0, length - 1);
    }

private:
    // The box's text laid out as the box lays it out, and placed where the box draws it.
    struct Layout
    {
        QTextLayout layout;
        QTextLine line;
        QFont font;
        // Where the box draws the layout's origin, and the last of the box's moves that
        // was seen there.
        QPointF origin;
        std::optional<unsigned> placedAt;
    };

    // Laid out once per text and font; placed again only when the box may have moved it.
    const Layout &layout() const
    {
        const Characters &shown = characters();
        if (!m_layout || !same(m_layout->layout.text(), shown.units())
            || m_layout->font != m_edit.font()) {
            m_layout = std::make_unique<Layout>();
            Layout &laid = *m_layout;
            laid.font = m_edit.font();
            laid.layout.setText(shown.units());
            laid.layout.setFont(laid.font);
            laid.layout.setCacheEnabled(true);
            // The box lays its text out in the direction of the text, whichever the box's own
            // is. Told once which that is, the layout answers each question without looking
            // for it again through the whole text.
            QTextOption option;
            option.setTextDirection(
                shown.units().isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
            option.setFlags(QTextOption::IncludeTrailingSpaces);
            laid.layout.setTextOption(option);
            laid.layout.beginLayout();
            laid.line = laid.layout.createLine();
            laid.layout.endLayout();
        }
        Layout &laid = *m_layout;
        const unsigned moves = m_watch ? m_watch->moves() : 0;
        if (!m_watch || laid.placedAt != moves) {
            // The box tells where it draws the caret: a box around it reaching a few pixels
            // to its left. The same caret in this layout tells where the layout is drawn,
            // whichever direction its text runs. The reach is a number fixed in Qt's line
            // control (five pixels in Qt 6.4.2), no style metric; the screen-reader test,
            // which holds every character's box to the one drawn, shows when it changes.
            constexpr int caretBoxReach = 5;
            const QRectF caret = m_edit.inputMethodQuery(Qt::ImCursorRectangle).toRectF();
            const int caretX = qRound(laid.line.cursorToX(m_edit.cursorPosition()));
            laid.origin = QPointF(caret.left() + caretBoxReach - caretX, caret.top());
            laid.placedAt = moves;
        }
        return laid;
    }

    QLineEdit &m_edit;
    QPointer<ScrollWatch> m_watch;
    mutable std::unique_ptr<Layout> m_layout;
};

} // namespace

QAccessibleInterface *accessibleLineEdit(QLineEdit *edit)
{
    return new AccessibleLineEdit(edit);
}

} // namespace platform
