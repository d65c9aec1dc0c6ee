#include "platform/drawing.h"

#include "platform/contrast.h"

#include <QPainter>

namespace platform {

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

} // namespace platform
