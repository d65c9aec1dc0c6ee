#include "platform/window.h"
#include "tests/guitest.h"
#include "tests/raised.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAccessible>
#include <QOperatingSystemVersion>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScrollBar>

#include <climits>
#include <functional>
#include <new>

using namespace Qt::StringLiterals;
using platform::ControlKind;
using platform::ControlName;

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
            {.name = {u"Text"_s, 0}, .kind = ControlKind::TextBox,
             .rect = {0, 0, 1500, 405}, .tabIndex = 0},
            {.name = {u"List"_s, 0}, .kind = ControlKind::ListBox,
             .rect = {0, 450, 1500, 900}, .tabIndex = 1, .entries = {u"a"_s, u"b"_s}},
            {.name = {u"Button"_s, 3}, .kind = ControlKind::CommandButton,
             .rect = {1500, 0, 1500, 405}, .tabIndex = 2, .caption = u"Go"_s},
            {.name = {u"Report"_s, 0}, .kind = ControlKind::TextBox,
             .rect = {0, 1500, 3000, 1500}, .tabIndex = 3, .multiLine = true},
            {.name = {u"List"_s, 1}, .kind = ControlKind::ListBox,
             .rect = {1500, 450, 1500, 900}, .tabIndex = 4, .entries = {u"c"_s},
             .visible = false},
        },
    };
}

} // namespace

class TestPlatform : public QObject
{
    Q_OBJECT

private slots:
    void runtimeErrorIsReportedAndTheProgramGoesOn_data();
    void runtimeErrorIsReportedAndTheProgramGoesOn();
    void clickReachesTheHandlerWithItsIndex();
    void reportShowsOnceTheHandlerIsDone_data();
    void reportShowsOnceTheHandlerIsDone();
    void missingControlsAndBadPropertiesRaise_data();
    void missingControlsAndBadPropertiesRaise();
    void screenReadersMeetOnlyShownControls();
    void descriptionMistakesStopTheWindow_data();
    void descriptionMistakesStopTheWindow();
    void anyNumberAClientSendsIsTakenSafely_data();
    void anyNumberAClientSendsIsTakenSafely();
    void drawnCharactersMapBack_data();
    void drawnCharactersMapBack();
    void twipsBecomePixels_data();
    void twipsBecomePixels();
};

void TestPlatform::runtimeErrorIsReportedAndTheProgramGoesOn_data()
{
    QTest::addColumn<std::function<void()>>("raise");
    QTest::addColumn<QString>("name");
    const auto row = [](const char *what, ErrorKind kind, const QString &name) {
        QTest::newRow(what) << std::function<void()>([kind] { throw RuntimeError(kind); }) << name;
    };
    row("overflow", ErrorKind::Overflow, u"Препълване"_s);
    row("division by zero", ErrorKind::DivisionByZero, u"Деление на нула"_s);
    row("floating point", ErrorKind::FloatingPoint, u"Грешка при изчисление с плаваща запетая"_s);
    row("out of memory", ErrorKind::OutOfMemory, u"Недостиг на памет"_s);
    row("invalid property value", ErrorKind::InvalidPropertyValue,
        u"Невалидна стойност на свойство"_s);
    row("invalid property array index", ErrorKind::InvalidPropertyArrayIndex,
        u"Невалиден индекс на свойство"_s);
    QTest::newRow("a missing control, named") << std::function<void()>([] {
        throw RuntimeError(ErrorKind::ControlArrayElementMissing, u"Text2(7)"_s);
    }) << u"Няма такъв елемент в масива от контроли: Text2(7)"_s;
    QTest::newRow("memory running out in the library")
        << std::function<void()>([] { throw std::bad_alloc(); }) << u"Недостиг на памет"_s;
}

void TestPlatform::runtimeErrorIsReportedAndTheProgramGoesOn()
{
    QFETCH(std::function<void()>, raise);
    QFETCH(QString, name);
    platform::Window window(smallForm());
    int runs = 0;
    window.onClick(u"Button"_s, [&](std::int16_t) {
        ++runs;
        window.textBox({ u"Text"_s, 0 }).setText(u"half way"_s);
        raise();
    });
    window.start();
    MessageBoxCloser closer;

    QTest::mouseClick(&window.button({ u"Button"_s, 3 }), Qt::LeftButton);
    QTest::mouseClick(&window.button({ u"Button"_s, 3 }), Qt::LeftButton);

    QCOMPARE(runs, 2);
    const QString text = u"Грешка при изпълнение: "_s + name + u"."_s;
    QCOMPARE(closer.texts(), QStringList({ text, text }));
    const QString goesOn = u"Действието е прекратено. Програмата продължава да работи."_s;
    QCOMPARE(closer.informativeTexts(), QStringList({ goesOn, goesOn }));
    QVERIFY(window.isVisible());
    // The handler's work up to the error stays; nothing is rolled back or lost.
    QCOMPARE(window.textBox({ u"Text"_s, 0 }).Text(), u"half way"_s);
}

void TestPlatform::clickReachesTheHandlerWithItsIndex()
{
    platform::Window window(smallForm());
    QList<std::int16_t> buttonClicks;
    QList<std::int16_t> listClicks;
    window.onClick(u"Button"_s, [&](std::int16_t index) { buttonClicks << index; });
    window.onClick(u"List"_s, [&](std::int16_t index) { listClicks << index; });
    window.start();

    QTest::mouseClick(&window.button({ u"Button"_s, 3 }), Qt::LeftButton);
    window.listBox({ u"List"_s, 0 }).setListIndex(1);

    QCOMPARE(buttonClicks, QList<std::int16_t> { 3 });
    QCOMPARE(listClicks, QList<std::int16_t> { 0 });
    QCOMPARE(window.listBox({ u"List"_s, 0 }).ListIndex(), 1);
}

void TestPlatform::reportShowsOnceTheHandlerIsDone_data()
{
    QTest::addColumn<bool>("selectsAList");
    QTest::addColumn<bool>("raises");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("handler ends") << false << false << QString() << u"a\nb\nc"_s;
    // Selecting a list by code runs the list's handler inside the button's.
    QTest::newRow("a handler inside the handler") << true << false << QString() << u"a\nb\nc"_s;
    QTest::newRow("runtime error half way") << false << true << QString() << u"a\nb"_s;
    // What the handler wrote is the box's text before it shows, not what the user typed.
    QTest::newRow("typed into before") << false << false << u"typed"_s << u"a\nb\nc"_s;
}

void TestPlatform::reportShowsOnceTheHandlerIsDone()
{
    QFETCH(bool, selectsAList);
    QFETCH(bool, raises);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    platform::Window window(smallForm());
    auto &report = static_cast<QPlainTextEdit &>(window.textBox({ u"Report"_s, 0 }).widget());
    QStringList shownWhileRunning;
    window.onClick(u"List"_s, [](std::int16_t) {});
    window.onClick(u"Button"_s, [&](std::int16_t) {
        platform::TextBoxAdapter &box = window.textBox({ u"Report"_s, 0 });
        box.setText(u"a\r\n"_s);
        if (selectsAList)
            window.listBox({ u"List"_s, 0 }).setListIndex(1);
        box.setText(box.Text() + u"b\r\n"_s);
        shownWhileRunning << report.toPlainText();
        if (raises)
            throw RuntimeError(ErrorKind::Overflow);
        box.setText(box.Text() + u"c\r\n"_s);
    });
    window.start();
    MessageBoxCloser closer;
    QTest::keyClicks(&report, typed);

    QTest::mouseClick(&window.button({ u"Button"_s, 3 }), Qt::LeftButton);

    QCOMPARE(shownWhileRunning, QStringList { typed });
    QCOMPARE(report.toPlainText(), shown);
    QCOMPARE(closer.texts().size(), raises ? 1 : 0);
}

void TestPlatform::missingControlsAndBadPropertiesRaise_data()
{
    using Action = std::function<void(platform::Window &)>;
    QTest::addColumn<Action>("action");
    QTest::addColumn<ErrorKind>("expected");
    QTest::addColumn<QString>("message");
    QTest::newRow("text box index not in the array")
        << Action([](platform::Window &window) {
               window.textBox({ u"Text"_s, 1 });
           })
        << ErrorKind::ControlArrayElementMissing
        << u"Няма такъв елемент в масива от контроли: Text(1)"_s;
    QTest::newRow("array of another kind") << Action([](platform::Window &window) {
        window.textBox({ u"List"_s, 0 });
    }) << ErrorKind::ControlArrayElementMissing
                                           << u"Няма такъв елемент в масива от контроли: List(0)"_s;
    QTest::newRow("list index past the end") << Action([](platform::Window &window) {
        window.listBox({ u"List"_s, 0 }).setListIndex(2);
    }) << ErrorKind::InvalidPropertyValue << QString();
    QTest::newRow("list index below -1") << Action([](platform::Window &window) {
        window.listBox({ u"List"_s, 0 }).setListIndex(-2);
    }) << ErrorKind::InvalidPropertyValue << QString();
    QTest::newRow("list entry past the end") << Action([](platform::Window &window) {
        window.listBox({ u"List"_s, 0 }).List(2);
    }) << ErrorKind::InvalidPropertyArrayIndex
                                             << QString();
}

void TestPlatform::missingControlsAndBadPropertiesRaise()
{
    QFETCH(std::function<void(platform::Window &)>, action);
    QFETCH(ErrorKind, expected);
    QFETCH(QString, message);
    platform::Window window(smallForm());
    QCOMPARE(raised([&] { action(window); }), expected);
    // A missing control is named in full, whatever the lookup.
    try {
        action(window);
    } catch (const RuntimeError &error) {
        if (!message.isEmpty())
            QCOMPARE(error.description(), message);
    }
}

// Qt 6.4.2 asks about a control while it is being made and keeps what it was first told, so a
// control the description hides is hidden to screen readers from the first question on. The
// window lists what the user sees, then, on AT-SPI, the notification it announces through.
void TestPlatform::screenReadersMeetOnlyShownControls()
{
    platform::Window window(smallForm());
    window.start();
    QWidget &hidden = *window.findChild<QWidget *>(u"List(1)"_s);
    QVERIFY(!QAccessible::queryAccessibleInterface(&hidden)->isValid());
    QVERIFY(!QAccessible::queryAccessibleInterface(hidden.findChild<QScrollBar *>())->isValid());
    QAccessibleInterface *form = QAccessible::queryAccessibleInterface(&window);
    QStringList children;
    for (int i = 0; i < form->childCount(); ++i) {
        QAccessibleInterface *child = form->child(i);
        QCOMPARE(form->indexOfChild(child), i);
        QCOMPARE(child->parent()->object(), &window);
        children << (child->role() == QAccessible::Notification ? u"notification"_s
                                                                : child->object()->objectName());
    }
    QStringList shown { u"Text(0)"_s, u"List(0)"_s, u"Button(3)"_s, u"Report(0)"_s };
    // UI Automation speaks an announcement without one.
    if (QOperatingSystemVersion::currentType() != QOperatingSystemVersion::Windows)
        shown << u"notification"_s;
    QCOMPARE(children, shown);
}

void TestPlatform::descriptionMistakesStopTheWindow_data()
{
    QTest::addColumn<platform::ControlDescription>("added");
    QTest::addColumn<QString>("message");
    QTest::newRow("two controls of one name") << platform::ControlDescription { .name
        = { u"Report"_s, 0 } } << u"Report(0) is described twice"_s;
    QTest::newRow("a label naming no control") << platform::ControlDescription {
        .name = { u"Label"_s, 0 }, .labelFor = ControlName { u"Text"_s, 1 }
    } << u"Label(0) names Text(1), which the form does not have"_s;
    QTest::newRow("a box naming a control")
        << platform::ControlDescription { .name = { u"Text"_s, 2 },
               .kind = ControlKind::TextBox,
               .labelFor = ControlName { u"Text"_s, 0 } }
        << u"Text(2) names another control, but is no label"_s;
}

void TestPlatform::descriptionMistakesStopTheWindow()
{
    QFETCH(platform::ControlDescription, added);
    QFETCH(QString, message);
    platform::FormDescription description = smallForm();
    description.controls.push_back(added);
    try {
        platform::Window window(description);
        QFAIL("the window was built");
    } catch (const platform::DescriptionError &error) {
        QCOMPARE(QString::fromUtf8(error.what()), message);
    }
}

void TestPlatform::anyNumberAClientSendsIsTakenSafely_data()
{
    QTest::addColumn<QString>("box");
    QTest::newRow("single-line box") << u"Text"_s;
    QTest::newRow("multi-line box") << u"Report"_s;
}

// Offsets count characters, the emoji one, which is no word of its own; the asan preset stops
// at any overflow.
void TestPlatform::anyNumberAClientSendsIsTakenSafely()
{
    QFETCH(QString, box);
    QTest::failOnWarning(QRegularExpression(u".*"_s));
    platform::Window window(smallForm());
    window.start();
    window.textBox({ box, 0 }).setText(u"1.4 💰 лв."_s);
    QAccessibleInterface &accessible
        = *QAccessible::queryAccessibleInterface(&window.textBox({ box, 0 }).widget());
    QAccessibleTextInterface &text = *accessible.textInterface();
    int start = -1;
    int end = -1;
    QCOMPARE(text.characterCount(), 9);
    QCOMPARE(text.text(INT_MIN, INT_MAX), u"1.4 💰 лв."_s);
    QCOMPARE(text.textAtOffset(INT_MIN, QAccessible::WordBoundary, &start, &end), u"1.4 💰 "_s);
    QCOMPARE(text.textAfterOffset(INT_MAX, QAccessible::CharBoundary, &start, &end), QString());
    QCOMPARE(QList({ start, end }), QList({ 9, 9 }));
    QCOMPARE(text.textBeforeOffset(INT_MAX, QAccessible::CharBoundary, &start, &end), u"."_s);
    // No boundary at all: the whole text is one item.
    QCOMPARE(text.textAtOffset(INT_MIN, QAccessible::NoBoundary, &start, &end), u"1.4 💰 лв."_s);
    QCOMPARE(text.characterRect(INT_MIN), QRect());
    QCOMPARE(text.characterRect(INT_MAX), QRect());
    for (const QPoint point : { QPoint(INT_MIN, INT_MIN), QPoint(INT_MAX, INT_MAX) })
        QCOMPARE(text.offsetAtPoint(point), -1);
    text.setSelection(0, 2, INT_MIN);
    text.selection(0, &start, &end);
    QCOMPARE(QList({ start, end }), QList({ 0, 2 }));
    text.addSelection(INT_MIN, INT_MAX);
    text.selection(0, &start, &end);
    QCOMPARE(QList({ start, end }), QList({ 0, 9 }));
    text.setCursorPosition(INT_MAX);
    QCOMPARE(text.cursorPosition(), 9);
    text.scrollToSubstring(INT_MIN, INT_MAX);
    text.attributes(INT_MIN, &start, &end);
    QCOMPARE(QList({ start, end }), QList({ 0, 9 }));
    QAccessibleEditableTextInterface &editable = *accessible.editableTextInterface();
    editable.insertText(INT_MAX, u"!"_s);
    editable.replaceText(INT_MIN, 1, u"¿"_s);
    QCOMPARE(text.text(0, INT_MAX), u"¿.4 💰 лв.!"_s);
    editable.deleteText(INT_MAX, INT_MIN);
    QCOMPARE(text.characterCount(), 0);
}

void TestPlatform::drawnCharactersMapBack_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("shown");
    QTest::newRow("multi-line, a right-to-left line wider than the box")
        << u"Report"_s << u"א0Цена \r\naaaaaaaaaaaaaaaa"_s;
    QTest::newRow("single-line, right to left, wider than the box")
        << u"Text"_s << u"א0Цена aaaaaaaaaaaaaaaa"_s;
    QTest::newRow("single-line, right to left, a mark on a letter")
        << u"Text"_s << u"\u05D0\u0308 "_s;
    QTest::newRow("single-line, right to left, a ligature") << u"Text"_s << u"لا "_s;
}

// The centre of each character's box, where it shows, is that character, as mouse review
// and magnifiers ask. A mark drawn into its letter has a box of no width, shown nowhere.
void TestPlatform::drawnCharactersMapBack()
{
    QFETCH(QString, box);
    QFETCH(QString, shown);
    platform::Window window(smallForm());
    window.textBox({ box, 0 }).widget().resize(61, 103);
    window.start();
    window.textBox({ box, 0 }).setText(shown);
    QWidget &widget = window.textBox({ box, 0 }).widget();
    auto *scrolled = qobject_cast<QAbstractScrollArea *>(&widget);
    const QWidget &textArea = scrolled ? *scrolled->viewport() : widget;
    QAccessibleTextInterface &text
        = *QAccessible::queryAccessibleInterface(&widget)->textInterface();
    int checked = 0;
    for (int offset = 0; offset < text.characterCount(); ++offset) {
        const QRect box = text.characterRect(offset);
        if (!box.isEmpty() && textArea.rect().contains(textArea.mapFromGlobal(box.center()))) {
            QCOMPARE(text.offsetAtPoint(box.center()), offset);
            ++checked;
        }
    }
    QVERIFY(checked > 0);
}

void TestPlatform::twipsBecomePixels_data()
{
    QTest::addColumn<int>("twips");
    QTest::addColumn<int>("pixels");
    QTest::newRow("zero") << 0 << 0;
    QTest::newRow("one pixel") << 15 << 1;
    QTest::newRow("under half a pixel") << 7 << 0;
    QTest::newRow("over half a pixel rounds up") << 8 << 1;
    QTest::newRow("a width nearer the next pixel") << 7194 << 480;
}

void TestPlatform::twipsBecomePixels()
{
    QFETCH(int, twips);
    QFETCH(int, pixels);
    QCOMPARE(platform::Window::pixels(twips), pixels);
}

VELMORA_TEST_MAIN(TestPlatform)

#include "tst_platform.moc"
