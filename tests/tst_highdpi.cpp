// The window on a screen of twice the usual density: run with QT_SCALE_FACTOR=2. The
// same window is also drawn at the usual density, so both can be compared and looked at.

#include "form/velmora.h"
#include "platform/application.h"

#include <QAbstractButton>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

class TestHighDpi : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void windowIsTwiceAsLargeInDevicePixels();
    void captionsFitTheirControls_data();
    void captionsFitTheirControls();
    void listEntriesFitTheList();
    void textIsDrawnAtTheHigherResolution();
    void picturesAtBothDensities();

private:
    // The window as the screen shows it, and as a screen of the usual density would.
    QImage picture(qreal ratio) const;

    std::unique_ptr<Velmora> m_form;
};

namespace {

// The part of a picture a widget covers, in the picture's own pixels.
QImage part(const QImage &picture, const QWidget &widget)
{
    const qreal ratio = picture.devicePixelRatio();
    const QRect logical(widget.mapTo(widget.window(), QPoint(0, 0)), widget.size());
    const QRect device(
        (QRectF(logical).topLeft() * ratio).toPoint(), (QSizeF(logical.size()) * ratio).toSize());
    return picture.copy(device);
}

// A control drawn alone: neighbours that overlap its edge by a pixel are left out.
QImage alone(QWidget &widget, qreal ratio)
{
    QImage image(widget.size() * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    widget.render(&image);
    return image;
}

// Where the text is: every pixel far from the background colour, which the top-left
// corner shows.
QRect ink(const QImage &image, int inset)
{
    const QRgb background = image.pixel(inset, inset);
    QRect found;
    for (int y = inset; y < image.height() - inset; ++y) {
        for (int x = inset; x < image.width() - inset; ++x) {
            const QRgb pixel = image.pixel(x, y);
            const int distance = qAbs(qRed(pixel) - qRed(background))
                + qAbs(qGreen(pixel) - qGreen(background)) + qAbs(qBlue(pixel) - qBlue(background));
            if (distance > 96)
                found |= QRect(x, y, 1, 1);
        }
    }
    return found;
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

QImage TestHighDpi::picture(qreal ratio) const
{
    QWidget &window = m_form->window();
    if (ratio == window.devicePixelRatio())
        return window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    return alone(window, ratio);
}

void TestHighDpi::windowIsTwiceAsLargeInDevicePixels()
{
    QWidget &window = m_form->window();
    QCOMPARE(window.devicePixelRatio(), 2.0);
    QCOMPARE(window.size(), QSize(481, 424));
    const QPixmap grabbed = window.grab();
    QCOMPARE(grabbed.devicePixelRatio(), 2.0);
    QCOMPARE(grabbed.size(), QSize(962, 848));
}

void TestHighDpi::captionsFitTheirControls_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<qreal>("ratio");
    for (const qreal ratio : { 1.0, 2.0 }) {
        for (const QString &control :
            { u"Label1(0)"_s, u"Label1(1)"_s, u"Label1(2)"_s, u"Label1(3)"_s, u"Label1(4)"_s,
                u"Label1(5)"_s, u"Command1(0)"_s, u"Command1(1)"_s }) {
            QTest::addRow("%s at %g", qPrintable(control), ratio) << control << ratio;
        }
    }
}

void TestHighDpi::captionsFitTheirControls()
{
    QFETCH(QString, control);
    QFETCH(qreal, ratio);
    auto *widget = m_form->window().findChild<QWidget *>(control);
    QVERIFY(widget);
    QString caption;
    if (auto *label = qobject_cast<QLabel *>(widget))
        caption = label->text();
    else
        caption = static_cast<QAbstractButton *>(widget)->text();

    // On one line: a label wraps a caption too long for it, and the second line falls
    // outside the label.
    QVERIFY2(widget->fontMetrics().horizontalAdvance(caption) <= widget->contentsRect().width(),
        qPrintable(caption));
    // Not cut at either side or at the bottom: the text stays clear of the edges. A
    // button's edge is three pixels deep.
    const int edge = qobject_cast<QLabel *>(widget) ? 0 : qRound(3 * ratio);
    const QImage image = alone(*widget, ratio);
    const QRect text = ink(image, edge);
    QVERIFY2(!text.isEmpty(), qPrintable(caption));
    const QRect clear = image.rect().adjusted(edge + 1, edge + 1, -edge - 1, -edge - 1);
    QVERIFY2(clear.contains(text),
        qPrintable(u"%1: text %2,%3 %4x%5 in %6x%7"_s.arg(caption)
                       .arg(text.x())
                       .arg(text.y())
                       .arg(text.width())
                       .arg(text.height())
                       .arg(image.width())
                       .arg(image.height())));
}

void TestHighDpi::listEntriesFitTheList()
{
    auto &list = static_cast<QListWidget &>(m_form->List1(0).widget());
    const int width = list.viewport()->width();
    for (int row = 0; row < list.count(); ++row) {
        const QListWidgetItem *entry = list.item(row);
        QVERIFY2(
            list.fontMetrics().horizontalAdvance(entry->text()) < width, qPrintable(entry->text()));
        QCOMPARE(list.visualItemRect(entry).width(), width);
    }
}

void TestHighDpi::textIsDrawnAtTheHigherResolution()
{
    // A bitmap drawn at the usual density and scaled up repeats every pixel in a square of
    // two by two. Text drawn for the denser screen has its edges on single device pixels.
    const QImage title = part(picture(2.0), m_form->Label1(0));
    const QRect text = ink(title, 0);
    int squares = 0;
    int uniform = 0;
    for (int y = text.top() & ~1; y + 1 <= text.bottom(); y += 2) {
        for (int x = text.left() & ~1; x + 1 <= text.right(); x += 2) {
            const QRgb corner = title.pixel(x, y);
            ++squares;
            if (title.pixel(x + 1, y) == corner && title.pixel(x, y + 1) == corner
                && title.pixel(x + 1, y + 1) == corner)
                ++uniform;
        }
    }
    QVERIFY(squares > 0);
    const double detailed = 1.0 - double(uniform) / squares;
    qInfo(
        "squares of 2x2 device pixels with detail inside the title's text: %.0f%%", 100 * detailed);
    QVERIFY2(detailed > 0.2, qPrintable(QString::number(detailed)));

    // The same text at both densities covers the same part of the label.
    const QImage single = part(picture(1.0), m_form->Label1(0));
    const QRect singleText = ink(single, 0);
    QVERIFY(qAbs(text.left() - 2 * singleText.left()) <= 3);
    QVERIFY(qAbs(text.width() - 2 * singleText.width()) <= 6);
}

void TestHighDpi::picturesAtBothDensities()
{
    const QString folder = qEnvironmentVariable("VELMORA_ARTIFACTS", QDir::tempPath());
    QDir().mkpath(folder);
    const QImage single = picture(1.0);
    const QImage dense = picture(2.0);
    QCOMPARE(single.size(), QSize(481, 424));
    QCOMPARE(dense.size(), QSize(962, 848));
    QVERIFY(single.save(folder + u"/velmora@1x.png"_s));
    QVERIFY(dense.save(folder + u"/velmora@2x.png"_s));
}

int main(int argc, char **argv)
{
    platform::Application application(argc, argv);
    TestHighDpi test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_highdpi.moc"
