// The window on a screen of twice the usual density: run with QT_SCALE_FACTOR=2. The
// same window is also drawn at the usual density, so both can be compared and looked at.

#include "tests/formcontrols.h"
#include "tests/guitest.h"

#include <QAbstractButton>
#include <QImage>
#include <QLabel>

#include <memory>

using namespace Qt::StringLiterals;

class TestHighDpi : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void captionsFitTheirLabels_data();
    void captionsFitTheirLabels();
    void buttonsAreDrawnAtTheScreensDensity_data();
    void buttonsAreDrawnAtTheScreensDensity();
    void picturesAtBothDensities();

private:
    std::unique_ptr<Velmora> m_form;
};

namespace {

// A control drawn alone, as a screen of the given density shows it: neighbours that
// overlap its edge by a pixel are left out.
QImage alone(QWidget &widget, qreal ratio)
{
    QImage image(widget.size() * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    widget.render(&image);
    return image;
}

int distance(QRgb left, QRgb right)
{
    return qAbs(qRed(left) - qRed(right)) + qAbs(qGreen(left) - qGreen(right))
        + qAbs(qBlue(left) - qBlue(right));
}

// Where the text is: every pixel far from the background, which the corner of the part
// searched shows.
QRect ink(const QImage &image, int inset)
{
    const QRgb background = image.pixel(inset, inset);
    QRect found;
    for (int y = inset; y < image.height() - inset; ++y) {
        for (int x = inset; x < image.width() - inset; ++x) {
            if (distance(image.pixel(x, y), background) > 96)
                found |= QRect(x, y, 1, 1);
        }
    }
    return found;
}

QString describe(const QRect &rect)
{
    return u"%1,%2 %3x%4"_s.arg(rect.x()).arg(rect.y()).arg(rect.width()).arg(rect.height());
}

} // namespace

void TestHighDpi::initTestCase()
{
    QCOMPARE(qgetenv("QT_SCALE_FACTOR"), "2");
    m_form = std::make_unique<Velmora>();
    m_form->window().start();
    QVERIFY(QTest::qWaitForWindowExposed(&m_form->window()));
}

void TestHighDpi::cleanupTestCase()
{
    m_form.reset();
}

void TestHighDpi::captionsFitTheirLabels_data()
{
    QTest::addColumn<std::int16_t>("index");
    QTest::addColumn<qreal>("ratio");
    for (const qreal ratio : { 1.0, 2.0 }) {
        for (std::int16_t index = 0; index <= 5; ++index)
            QTest::addRow("Label1(%d) at %g", index, ratio) << index << ratio;
    }
}

void TestHighDpi::captionsFitTheirLabels()
{
    QFETCH(std::int16_t, index);
    QFETCH(qreal, ratio);
    QLabel &label = Label1(*m_form, index);
    // On one line: a label wraps a caption too long for it, and the second line falls
    // outside the label.
    QVERIFY2(label.fontMetrics().horizontalAdvance(label.text()) <= label.contentsRect().width(),
        qPrintable(label.text()));
    // Not cut at either side or at the bottom: the text stays clear of the edges.
    const QImage image = alone(label, ratio);
    const QRect text = ink(image, 0);
    QVERIFY2(!text.isEmpty(), qPrintable(label.text()));
    QVERIFY2(image.rect().adjusted(1, 1, -1, -1).contains(text),
        qPrintable(label.text() + u": text "_s + describe(text)));
}

void TestHighDpi::buttonsAreDrawnAtTheScreensDensity_data()
{
    QTest::addColumn<std::int16_t>("index");
    QTest::addColumn<QColor>("face");
    QTest::newRow("Изчисли") << std::int16_t(0) << QColor(0, 255, 0);
    QTest::newRow("Изчисти") << std::int16_t(1) << QColor(255, 0, 0);
}

// The buttons are the program's own drawing: a flat face of the back colour, an edge lit
// from the top left and shaded black at the bottom right, and the caption clear of the
// edge. Pressed, the edge sinks and the caption moves a pixel of the window down and right.
void TestHighDpi::buttonsAreDrawnAtTheScreensDensity()
{
    QFETCH(std::int16_t, index);
    QFETCH(QColor, face);
    QAbstractButton &button = Command1(*m_form, index);
    QVERIFY(!button.hasFocus());
    const qreal ratio = button.devicePixelRatio();
    const QImage raised = alone(button, ratio);
    button.setDown(true);
    const QImage pressed = alone(button, ratio);
    button.setDown(false);

    const int right = raised.width() - 1;
    const int bottom = raised.height() - 1;
    const auto lit = [&](QRgb seen) {
        return qRed(seen) + qGreen(seen) + qBlue(seen) > face.red() + face.green() + face.blue();
    };
    const QRgb black = qRgb(0, 0, 0);
    for (int x = 0; x < right; ++x) {
        QVERIFY(lit(raised.pixel(x, 0)) && raised.pixel(x + 1, bottom) == black);
        QVERIFY(pressed.pixel(x, 0) == black && lit(pressed.pixel(x + 1, bottom)));
    }
    for (int y = 0; y < bottom; ++y) {
        QVERIFY(lit(raised.pixel(0, y)) && raised.pixel(right, y + 1) == black);
        QVERIFY(pressed.pixel(0, y) == black && lit(pressed.pixel(right, y + 1)));
    }

    // The edge takes two pixels of the window at most; the caption keeps one more clear.
    const int pixel = qRound(ratio);
    const int edge = 2 * pixel;
    const QRect caption = ink(raised, edge);
    QVERIFY2(!caption.isEmpty(), qPrintable(button.text()));
    QVERIFY2(raised.rect()
                 .adjusted(edge + pixel, edge + pixel, -edge - pixel, -edge - pixel)
                 .contains(caption),
        qPrintable(describe(caption)));
    QCOMPARE(ink(pressed, edge), caption.translated(pixel, pixel));
    for (const QImage &image : { raised, pressed })
        QCOMPARE(image.pixelColor(edge + pixel, image.height() / 2), face);

    // Text drawn for the denser screen has its edges on single pixels of it; a bitmap drawn
    // at the usual density and scaled up would repeat every pixel in squares of two by two.
    int squares = 0;
    int uniform = 0;
    for (int y = caption.top() & ~1; y + 1 <= caption.bottom(); y += 2) {
        for (int x = caption.left() & ~1; x + 1 <= caption.right(); x += 2) {
            const QRgb corner = raised.pixel(x, y);
            ++squares;
            if (raised.pixel(x + 1, y) == corner && raised.pixel(x, y + 1) == corner
                && raised.pixel(x + 1, y + 1) == corner)
                ++uniform;
        }
    }
    const double detailed = 1.0 - double(uniform) / squares;
    QVERIFY2(detailed > 0.2, qPrintable(QString::number(detailed)));
}

void TestHighDpi::picturesAtBothDensities()
{
    QWidget &window = m_form->window();
    const QImage usual = alone(window, 1.0);
    const QImage dense = picture(window);
    // 481 by 424 pixels, twice as many each way on the denser screen, and something drawn.
    QCOMPARE(usual.size(), QSize(481, 424));
    QCOMPARE(dense.size(), QSize(962, 848));
    for (const QImage &image : { usual, dense })
        QVERIFY(!ink(image, 0).isEmpty());
    QVERIFY(saveArtifact(usual, u"velmora@1x.png"_s));
    QVERIFY(saveArtifact(dense, u"velmora@2x.png"_s));
}

VELMORA_TEST_MAIN(TestHighDpi)

#include "tst_highdpi.moc"
