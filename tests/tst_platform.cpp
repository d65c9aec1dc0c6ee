#include "calc/runtimeerror.h"
#include "platform/application.h"
#include "platform/window.h"

#include "messageboxes.h"

#include <QAbstractButton>
#include <QPlainTextEdit>
#include <QTest>

using namespace Qt::StringLiterals;
using platform::ControlKind;

namespace {

platform::FormDescription smallForm()
{
    return {
        .name = u"Small"_s,
        .caption = u"Small"_s,
        .clientWidth = 3000,
        .clientHeight = 3000,
        .backColor = {255, 255, 255},
        .fontFamily = u"Times New Roman"_s,
        .fontPointSize = 12,
        .controls = {
            {.array = u"Text"_s, .index = 0, .kind = ControlKind::TextBox,
             .rect = {0, 0, 1500, 405}, .tabIndex = 0},
            {.array = u"List"_s, .index = 0, .kind = ControlKind::ListBox,
             .rect = {0, 450, 1500, 900}, .tabIndex = 1, .entries = {u"a"_s, u"b"_s}},
            {.array = u"Button"_s, .index = 3, .kind = ControlKind::CommandButton,
             .rect = {1500, 0, 1500, 405}, .tabIndex = 2, .caption = u"Go"_s},
            {.array = u"Report"_s, .index = 0, .kind = ControlKind::TextBox,
             .rect = {0, 1500, 3000, 1500}, .tabIndex = 3, .multiLine = true},
        },
    };
}

} // namespace

class TestPlatform : public QObject
{
    Q_OBJECT

private slots:
    void runtimeErrorIsReportedAndTheProgramGoesOn();
    void clickReachesTheHandlerWithItsIndex();
    void reportShowsOnceTheHandlerIsDone_data();
    void reportShowsOnceTheHandlerIsDone();
    void missingControlsAndBadPropertiesRaise_data();
    void missingControlsAndBadPropertiesRaise();
    void twipsBecomePixels_data();
    void twipsBecomePixels();
};

void TestPlatform::runtimeErrorIsReportedAndTheProgramGoesOn()
{
    platform::Window window(smallForm());
    int runs = 0;
    window.onClick(u"Button"_s, [&](std::int16_t) {
        ++runs;
        window.textBox(u"Text"_s, 0).setText(u"half way"_s);
        throw RuntimeError(ErrorKind::Overflow);
    });
    window.start();
    MessageBoxCloser closer;

    QTest::mouseClick(&window.button(u"Button"_s, 3), Qt::LeftButton);
    QTest::mouseClick(&window.button(u"Button"_s, 3), Qt::LeftButton);

    QCOMPARE(runs, 2);
    QCOMPARE(closer.texts().size(), 2);
    QVERIFY2(closer.texts().first().contains(u"Препълване"_s), qPrintable(closer.texts().first()));
    QVERIFY(window.isVisible());
    // The handler's work up to the error stays; nothing is rolled back or lost.
    QCOMPARE(window.textBox(u"Text"_s, 0).Text(), u"half way"_s);
}

void TestPlatform::clickReachesTheHandlerWithItsIndex()
{
    platform::Window window(smallForm());
    QList<std::int16_t> buttonClicks;
    QList<std::int16_t> listClicks;
    window.onClick(u"Button"_s, [&](std::int16_t index) { buttonClicks << index; });
    window.onClick(u"List"_s, [&](std::int16_t index) { listClicks << index; });
    window.start();

    QTest::mouseClick(&window.button(u"Button"_s, 3), Qt::LeftButton);
    window.listBox(u"List"_s, 0).setListIndex(1);

    QCOMPARE(buttonClicks, QList<std::int16_t> { 3 });
    QCOMPARE(listClicks, QList<std::int16_t> { 0 });
    QCOMPARE(window.listBox(u"List"_s, 0).ListIndex(), 1);
}

void TestPlatform::reportShowsOnceTheHandlerIsDone_data()
{
    QTest::addColumn<bool>("selectsAList");
    QTest::addColumn<bool>("raises");
    QTest::addColumn<QString>("shown");
    QTest::newRow("handler ends") << false << false << u"a\nb\nc\n"_s;
    // Selecting a list by code runs the list's handler inside the button's.
    QTest::newRow("a handler inside the handler") << true << false << u"a\nb\nc\n"_s;
    QTest::newRow("runtime error half way") << false << true << u"a\nb\n"_s;
}

void TestPlatform::reportShowsOnceTheHandlerIsDone()
{
    QFETCH(bool, selectsAList);
    QFETCH(bool, raises);
    QFETCH(QString, shown);
    platform::Window window(smallForm());
    auto &report = static_cast<QPlainTextEdit &>(window.textBox(u"Report"_s, 0).widget());
    QStringList shownWhileRunning;
    window.onClick(u"List"_s, [](std::int16_t) {});
    window.onClick(u"Button"_s, [&](std::int16_t) {
        platform::TextBoxControl &box = window.textBox(u"Report"_s, 0);
        box.setText(u"a\r\n"_s);
        if (selectsAList)
            window.listBox(u"List"_s, 0).setListIndex(1);
        box.setText(u"a\r\nb\r\n"_s);
        shownWhileRunning << report.toPlainText();
        if (raises)
            throw RuntimeError(ErrorKind::Overflow);
        box.setText(u"a\r\nb\r\nc\r\n"_s);
    });
    window.start();
    MessageBoxCloser closer;

    QTest::mouseClick(&window.button(u"Button"_s, 3), Qt::LeftButton);

    QCOMPARE(shownWhileRunning, QStringList { QString() });
    QCOMPARE(report.toPlainText(), shown);
    QCOMPARE(closer.texts().size(), raises ? 1 : 0);
}

void TestPlatform::missingControlsAndBadPropertiesRaise_data()
{
    QTest::addColumn<int>("action");
    QTest::addColumn<ErrorKind>("expected");
    QTest::newRow("text box index not in the array") << 0 << ErrorKind::ControlArrayElementMissing;
    QTest::newRow("array of another kind") << 1 << ErrorKind::ControlArrayElementMissing;
    QTest::newRow("list index past the end") << 2 << ErrorKind::InvalidPropertyValue;
    QTest::newRow("list index below -1") << 3 << ErrorKind::InvalidPropertyValue;
    QTest::newRow("list entry past the end") << 4 << ErrorKind::InvalidPropertyArrayIndex;
}

void TestPlatform::missingControlsAndBadPropertiesRaise()
{
    QFETCH(int, action);
    QFETCH(ErrorKind, expected);
    platform::Window window(smallForm());
    const auto attempt = [&] {
        switch (action) {
        case 0:
            window.textBox(u"Text"_s, 1);
            break;
        case 1:
            window.textBox(u"List"_s, 0);
            break;
        case 2:
            window.listBox(u"List"_s, 0).setListIndex(2);
            break;
        case 3:
            window.listBox(u"List"_s, 0).setListIndex(-2);
            break;
        case 4:
            window.listBox(u"List"_s, 0).List(2);
            break;
        }
    };
    try {
        attempt();
        QFAIL("no runtime error raised");
    } catch (const RuntimeError &error) {
        QCOMPARE(error.kind(), expected);
    }
}

void TestPlatform::twipsBecomePixels_data()
{
    QTest::addColumn<int>("twips");
    QTest::addColumn<int>("pixels");
    QTest::newRow("client width") << 7215 << 481;
    QTest::newRow("client height") << 6360 << 424;
    QTest::newRow("zero") << 0 << 0;
    QTest::newRow("one pixel") << 15 << 1;
}

void TestPlatform::twipsBecomePixels()
{
    QFETCH(int, twips);
    QFETCH(int, pixels);
    QCOMPARE(platform::Window::pixels(twips), pixels);
}

int main(int argc, char **argv)
{
    platform::Application application(argc, argv);
    TestPlatform test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_platform.moc"
