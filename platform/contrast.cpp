#include "platform/contrast.h"

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

} // namespace

QColor standingOut(const QColor &background, const QColor &preferred, double ratio)
{
    if (contrastRatio(preferred, background) >= ratio)
        return preferred;
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return contrastRatio(black, background) >= contrastRatio(white, background) ? black : white;
}

} // namespace platform
