#include "platform/button.h"

#include "platform/drawing.h"

#include <QKeyEvent>
#include <QPainter>
#include <qdrawutil.h>

namespace platform {

// Outside a dialog Qt's buttons answer only Space; a user who reached a button with Tab
// expects Enter to press it as well, at once, as a dialog's buttons do.
void CommandButtonWidget::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void CommandButtonWidget::paintEvent(QPaintEvent *)
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
