#include "platform/contrast.h"

#include <QApplication>
#include <QWidget>

#include <algorithm>

namespace platform {

namespace {

// x to the power 2.4 for x in [0, 1]: x squared times the fifth root of x squared, the
// root found by Newton's method from above. std::pow would give the same, but its first
// call pages in some 240 KiB of the maths library, all at start-up, for this one use.
double toThePower2point4(double x)
{
    const double square = x * x;
    double root = 1;
    for (int step = 0; step < 64; ++step) {
        const double next = (4 * root + square / (root * root * root * root)) / 5;
        if (next >= root)
            break;
        root = next;
    }
    return square * root;
}

double linear(double channel)
{
    return channel <= 0.04045 ? channel / 12.92 : toThePower2point4((channel + 0.055) / 1.055);
}

double luminance(const QColor &color)
{
    const QColor rgb = color.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF())
        + 0.0722 * linear(rgb.blueF());
}

double contrastRatio(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor toColor(const Rgb &rgb)
{
    return QColor(rgb.red, rgb.green, rgb.blue);
}

} // namespace

QColor standingOut(const QColor &background, const QColor &preferred, double ratio)
{
    if (contrastRatio(preferred, background) >= ratio)
        return preferred;
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return contrastRatio(black, background) >= contrastRatio(white, background) ? black : white;
}

void setBackColor(QWidget &widget, QPalette::ColorRole role, const Rgb &rgb)
{
    QPalette palette = widget.palette();
    palette.setColor(role, toColor(rgb));
    widget.setPalette(palette);
}

// The form's colours were chosen against black text. A dark or high-contrast desktop
// gives light text, which would all but vanish on the orange labels and the green and
// red buttons, so their text stays black whatever the desktop.
void setTextOnBackColor(QWidget &widget, QPalette::ColorRole role)
{
    QPalette palette = widget.palette();
    palette.setColor(role, Qt::black);
    widget.setPalette(palette);
}

// The boxes and the list hold what the user reads and types, so they take the desktop's
// colours: dark boxes on a dark desktop, and a high-contrast user's own colours, which
// were chosen for that user's eyes. Where a palette pairs colours too close to read
// (Qt's own white on pale blue for a selection is 3.7:1), the text turns black or white.
// The form carries the mended colours, so its controls inherit them as they are made.
void keepTextLegible(QWidget &form)
{
    const QPalette desktop = QApplication::palette();
    QPalette palette = form.palette();
    for (const QPalette::ColorGroup group : { QPalette::Active, QPalette::Inactive }) {
        palette.setColor(group, QPalette::Text,
            standingOut(desktop.color(group, QPalette::Base), desktop.color(group, QPalette::Text),
                TextContrast));
        palette.setColor(group, QPalette::HighlightedText,
            standingOut(desktop.color(group, QPalette::Highlight),
                desktop.color(group, QPalette::HighlightedText), TextContrast));
    }
    form.setPalette(palette);
}

} // namespace platform
