#include "tests/formcontrols.h"
#include "tests/guitest.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAccessible>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>

#include "calc/runtimeerror.h"
#include "platform/errorreport.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

#include <memory>

using namespace Qt::StringLiterals;
using platform::ControlName;

class TestForm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startsWithEmptyLockedReportAndNothingChosen();
    void withoutADisplaySaysSoInOneLine_data();
    void withoutADisplaySaysSoInOneLine();
    void staticTextsAndCaptions();
    void helpTextGivesTheFinenessTheListsHold();
    void tabOrderFollowsTabIndex();
    void tabNeverLandsInAMultiLineBox();
    void lockedBoxesRefuseEditing_data();
    void lockedBoxesRefuseEditing();
    void lockedBoxesStayCopyable();
    void labelsNameTheirControlsToScreenReaders_data();
    void labelsNameTheirControlsToScreenReaders();
    void windowCannotBeMaximisedOrResized();
    void boxesKeepWhatTheirLimitAllows_data();
    void boxesKeepWhatTheirLimitAllows();
    void clicksAreRoutedByIndex();
    void choosingACaratChangesOnlyTheSelection();
    void keyboardAloneChoosesACaratAndPressesAButton_data();
    void keyboardAloneChoosesACaratAndPressesAButton();
    void textKeepsItsLineEnds_data();
    void textKeepsItsLineEnds();
    void growingTextShowsAsIfSetAnew_data();
    void growingTextShowsAsIfSetAnew();
    void coloursShowInTheWindow_data();
    void coloursShowInTheWindow();
    void mouseAndKeyboardMakeAReport();
    void overflowIsReportedAndNothingIsLost();
    void qtsOwnTextsAreBulgarian_data();
    void qtsOwnTextsAreBulgarian();
    void textIsLegibleOnEveryPalette_data();
    void textIsLegibleOnEveryPalette();
    void keyboardFocusIsMarked_data();
    void keyboardFocusIsMarked();

private:
    std::unique_ptr<Velmora> m_form;
};

void TestForm::init()
{
    m_form = std::make_unique<Velmora>();
    m_form->window().start();
    QVERIFY(QTest::qWaitForWindowActive(&m_form->window()));
}

void TestForm::cleanup()
{
    m_form.reset();
    QLocale::setDefault(QLocale::c());
}

void TestForm::startsWithEmptyLockedReportAndNothingChosen()
{
    QCOMPARE(m_form->Text2(0).Text(), QString());
    QVERIFY(m_form->Text2(0).Locked());
    for (std::int16_t index = 1; index <= 3; ++index) {
        QCOMPARE(m_form->Text2(index).Text(), QString());
        QVERIFY(!m_form->Text2(index).Locked());
    }
    QCOMPARE(m_form->List1(0).ListIndex(), -1);
    QCOMPARE(m_form->List1(1).ListIndex(), -1);
    QCOMPARE(QApplication::focusWidget(), &Text1(*m_form, 0).widget());
    QVERIFY(m_form->List1(1).widget().isHidden());
    QVERIFY(Text1(*m_form, 1).widget().isHidden());
    QVERIFY(saveArtifact(picture(m_form->window()), u"velmora.png"_s));
}

void TestForm::withoutADisplaySaysSoInOneLine_data()
{
    QTest::addColumn<QStringList>("variables");
    QTest::addColumn<QString>("reason");
    const QString unset = u"no graphical display (DISPLAY is not set)"_s;
    QTest::newRow("no display at all") << QStringList() << unset;
    QTest::newRow("a display that is not running")
        << QStringList { u"DISPLAY=:65533"_s } << u"the display :65533 is not running"_s;
    QTest::newRow("an empty platform") << QStringList { u"QT_QPA_PLATFORM="_s } << unset;
    QTest::newRow("an empty Wayland display") << QStringList { u"WAYLAND_DISPLAY="_s } << unset;
    QTest::newRow("a Wayland display that is not running")
        << QStringList { u"WAYLAND_DISPLAY=velmora-gone"_s }
        << u"the display velmora-gone is not running"_s;
    QTest::newRow("neither a Wayland nor an X display running")
        << QStringList { u"WAYLAND_DISPLAY=velmora-gone"_s, u"DISPLAY=:65533"_s }
        << u"the displays velmora-gone and :65533 are not running"_s;
}

// The program itself, started from a console without a desktop session.
void TestForm::withoutADisplaySaysSoInOneLine()
{
#ifdef Q_OS_WIN
    QSKIP("Windows shows every program's windows on the desktop it was started on");
#endif
    QFETCH(QStringList, variables);
    QFETCH(QString, reason);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // From a Wayland session the program would look for the session's compositor.
    for (const char *name : { "DISPLAY", "QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "XDG_SESSION_TYPE" })
        environment.remove(QString::fromLatin1(name));
    for (const QString &variable : variables)
        environment.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(VELMORA_PROGRAM), {});
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 1);
    QCOMPARE(QString::fromLocal8Bit(program.readAllStandardError()),
        u"velmora: "_s + reason + u"; start it from a desktop session.\n"_s);
    QCOMPARE(program.readAllStandardOutput(), QByteArray());
}

void TestForm::staticTextsAndCaptions()
{
    const QString help = Text1(*m_form, 0).Text();
    QCOMPARE(help.count(u"\r\n"_s), 20);
    QVERIFY(help.endsWith(u"\r\n"_s));
    QCOMPARE(help.count(u'\n'), 20);
    for (const QString &piece : { u"99.99%"_s, u"1 тройунция е равна на 31.1035 грама"_s,
             u"24-99.99%; 22-91.6%; 20-83.3%; 18-75%; 16-62.5%; 14-58.5%; "
             "12-49.9%; 10-41.7%; 9-37.5%."_s }) {
        QVERIFY2(help.contains(piece), qPrintable(piece));
    }
    QCOMPARE(Text1(*m_form, 1).Text(),
        u"Неприятното в това да си първият, направил нещо по \r\nправилния начин, е, че "
        "никой не оценява колко трудно е \r\nбило. \r\n"_s);

    const QString title = u"Калкулатор за цената на златото"_s;
    QCOMPARE(m_form->window().windowTitle(), u"www.velmora.example  "_s + title);
    QCOMPARE(Command1(*m_form, 0).text(), u"Изчисли"_s);
    QCOMPARE(Command1(*m_form, 1).text(), u"Изчисти"_s);
    const QStringList captions { title, u"карати"_s, u"метрична рафинираност, % злато"_s,
        u"бр.унции"_s, u"Цена - унция"_s, u"Цена - долар"_s };
    for (std::int16_t index = 0; index < captions.size(); ++index)
        QCOMPARE(Label1(*m_form, index).text(), captions[index]);

    const QStringList carats { u"24"_s, u"22"_s, u"20"_s, u"18"_s, u"16"_s, u"14"_s, u"12"_s,
        u"10"_s, u"9"_s };
    const QStringList fineness { u"9999"_s, u"9160"_s, u"8330"_s, u"7500"_s, u"6250"_s, u"5850"_s,
        u"4990"_s, u"4170"_s, u"3750"_s };
    QCOMPARE(entries(m_form->List1(0)), 9);
    QCOMPARE(entries(m_form->List1(1)), 9);
    for (int position = 0; position < 9; ++position) {
        QCOMPARE(m_form->List1(0).List(position), carats[position]);
        QCOMPARE(m_form->List1(1).List(position), fineness[position]);
    }
    // Sharp in a title bar and a task bar, dense screens included.
    QCOMPARE(m_form->window().windowIcon().availableSizes(),
        QList<QSize>({ QSize(32, 32), QSize(48, 48), QSize(64, 64) }));
}

// The help text tells the user each carat's share of gold; the calculation takes it from
// the lists. An alloy added to, or changed in, one of them alone would disagree.
void TestForm::helpTextGivesTheFinenessTheListsHold()
{
    QStringList told;
    const QRegularExpression pair(u"(\\d+)-(\\d+(\\.\\d+)?)%"_s);
    for (const QRegularExpressionMatch &match : pair.globalMatch(Text1(*m_form, 0).Text()))
        told << match.captured(1) + u'-' + match.captured(2);
    QStringList listed;
    for (int position = 0; position < entries(m_form->List1(0)); ++position) {
        listed << m_form->List1(0).List(position) + u'-'
                + QString::number(m_form->List1(1).List(position).toInt() / 100.0);
    }
    QCOMPARE(told, listed);
}

void TestForm::tabOrderFollowsTabIndex()
{
    QList<QWidget *> expected { &Text1(*m_form, 0).widget(), &m_form->List1(0).widget(),
        &m_form->Text2(0).widget(), &m_form->Text2(1).widget(), &m_form->Text2(2).widget(),
        &m_form->Text2(3).widget(), &Command1(*m_form, 0), &Command1(*m_form, 1) };
    for (qsizetype step = 1; step <= expected.size(); ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), expected[step % expected.size()]);
    }
    for (qsizetype step = expected.size() - 1; step >= 0; --step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), expected[step]);
    }
}

void TestForm::tabNeverLandsInAMultiLineBox()
{
    // An unlocked multi-line box would take a tab as a character if Tab did not move on.
    m_form->Text2(0).setLocked(false);
    m_form->Text2(0).widget().setFocus();
    QTest::keyClick(&m_form->Text2(0).widget(), Qt::Key_Tab);
    QCOMPARE(m_form->Text2(0).Text(), QString());
    QCOMPARE(QApplication::focusWidget(), &m_form->Text2(1).widget());
}

void TestForm::lockedBoxesRefuseEditing_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<QString>("typed");
    const QString report = u"Text2(0)"_s;
    const QString help = u"Text1(0)"_s;
    for (const QString &box : { report, help }) {
        QTest::newRow(qPrintable(box + u" typing"_s)) << box << QKeySequence() << u"abc"_s;
        QTest::newRow(qPrintable(box + u" pasting"_s))
            << box << QKeySequence(QKeySequence::Paste) << QString();
        QTest::newRow(qPrintable(box + u" cutting"_s))
            << box << QKeySequence(QKeySequence::Cut) << QString();
        QTest::newRow(qPrintable(box + u" delete"_s))
            << box << QKeySequence(Qt::Key_Delete) << QString();
        QTest::newRow(qPrintable(box + u" backspace"_s))
            << box << QKeySequence(Qt::Key_Backspace) << QString();
        QTest::newRow(qPrintable(box + u" enter"_s))
            << box << QKeySequence(Qt::Key_Return) << QString();
    }
}

void TestForm::lockedBoxesRefuseEditing()
{
    QFETCH(QString, box);
    QFETCH(QKeySequence, keys);
    QFETCH(QString, typed);
    platform::TextBoxAdapter &control = box == u"Text2(0)"_s ? m_form->Text2(0) : Text1(*m_form, 0);
    if (&control == &m_form->Text2(0))
        control.setText(u"Карати: 22\r\n"_s);
    const QString before = control.Text();
    QApplication::clipboard()->setText(u"pasted"_s);

    QWidget &widget = control.widget();
    widget.setFocus();
    QTest::keySequence(&widget, QKeySequence::SelectAll);
    if (!keys.isEmpty())
        QTest::keySequence(&widget, keys);
    QTest::keyClicks(&widget, typed);

    QCOMPARE(control.Text(), before);
    QVERIFY(control.Locked());
}

void TestForm::lockedBoxesStayCopyable()
{
    m_form->Text2(0).setText(u"Карати: 22\r\n"_s);
    QWidget &report = m_form->Text2(0).widget();
    report.setFocus();
    QApplication::clipboard()->clear();
    QTest::keySequence(&report, QKeySequence::SelectAll);
    QTest::keySequence(&report, QKeySequence::Copy);
    QCOMPARE(QApplication::clipboard()->text(), u"Карати: 22"_s);
    // The caret moves with the keyboard, so a screen reader can read the report line by line.
    QVERIFY(static_cast<QPlainTextEdit &>(report).textInteractionFlags()
        & Qt::TextSelectableByKeyboard);
}

void TestForm::labelsNameTheirControlsToScreenReaders_data()
{
    QTest::addColumn<ControlName>("control");
    QTest::addColumn<ControlName>("label");
    QTest::newRow("weight") << ControlName { u"Text2"_s, 1 } << ControlName { u"Label1"_s, 3 };
    QTest::newRow("ounce price") << ControlName { u"Text2"_s, 2 } << ControlName { u"Label1"_s, 4 };
    QTest::newRow("dollar rate") << ControlName { u"Text2"_s, 3 } << ControlName { u"Label1"_s, 5 };
    QTest::newRow("report") << ControlName { u"Text2"_s, 0 } << ControlName { u"Label1"_s, 2 };
}

// A screen reader reads out the label beside the control. What it hears of every control,
// and that it meets none of the hidden ones, the screen-reader test checks over AT-SPI.
void TestForm::labelsNameTheirControlsToScreenReaders()
{
    QFETCH(ControlName, control);
    QFETCH(ControlName, label);
    QAccessibleInterface *accessible
        = QAccessible::queryAccessibleInterface(&controlWidget(m_form->window(), control));
    QVERIFY(accessible);
    const auto labels = accessible->relations(QAccessible::Label);
    QCOMPARE(labels.size(), 1);
    QCOMPARE(labels.first().first->object(), &controlWidget(m_form->window(), label));
}

void TestForm::windowCannotBeMaximisedOrResized()
{
    QWidget &window = m_form->window();
    const Qt::WindowFlags flags = window.windowFlags();
    QVERIFY(flags & Qt::WindowMinimizeButtonHint);
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(!(flags & Qt::WindowFullscreenButtonHint));

    const QSize fixed(481, 424);
    QCOMPARE(window.size(), fixed);
    window.resize(800, 600);
    QCOMPARE(window.size(), fixed);
    window.showMaximized();
    QCOMPARE(window.size(), fixed);
}

void TestForm::boxesKeepWhatTheirLimitAllows_data()
{
    QTest::addColumn<std::int16_t>("box");
    QTest::addColumn<bool>("paste");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("kept");
    const std::int16_t weight = 1;
    QTest::newRow("weight, typing three digits") << weight << false << u"123"_s << u"12"_s;
    QTest::newRow("weight, pasting four digits") << weight << true << u"9876"_s << u"98"_s;
    QTest::newRow("weight, an emoji is one whole character or none")
        << weight << true << u"1😀"_s << u"1"_s;
    const QString longPaste = u"1"_s + QString(40000, u'0');
    QTest::newRow("rate, a paste past 32,767 characters kept whole")
        << std::int16_t(3) << true << longPaste << longPaste;
}

void TestForm::boxesKeepWhatTheirLimitAllows()
{
    QFETCH(std::int16_t, box);
    QFETCH(bool, paste);
    QFETCH(QString, input);
    QFETCH(QString, kept);
    QWidget &edit = m_form->Text2(box).widget();
    edit.setFocus();
    if (paste) {
        QApplication::clipboard()->setText(input);
        QTest::keySequence(&edit, QKeySequence::Paste);
    } else {
        QTest::keyClicks(&edit, input);
    }
    QCOMPARE(m_form->Text2(box).Text(), kept);
}

void TestForm::clicksAreRoutedByIndex()
{
    // Figures that make a report, and a report that is not theirs.
    for (std::int16_t index = 0; index <= 3; ++index)
        m_form->Text2(index).setText(u"5"_s);
    m_form->List1(0).setListIndex(1);

    // Indexes without a button do nothing at all.
    for (std::int16_t index : { std::int16_t(-1), std::int16_t(2), std::int16_t(32767) })
        m_form->Command1_Click(index);
    for (std::int16_t index = 0; index <= 3; ++index)
        QCOMPARE(m_form->Text2(index).Text(), u"5"_s);
    QCOMPARE(m_form->List1(0).ListIndex(), 1);

    QTest::mouseClick(&Command1(*m_form, 1), Qt::LeftButton);
    for (std::int16_t index = 0; index <= 3; ++index)
        QCOMPARE(m_form->Text2(index).Text(), QString());
    QCOMPARE(m_form->List1(0).ListIndex(), -1);
}

void TestForm::choosingACaratChangesOnlyTheSelection()
{
    m_form->Text2(2).setText(u"1300"_s);
    auto &list = static_cast<QListWidget &>(m_form->List1(0).widget());
    const QRect entry = list.visualItemRect(list.item(5));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, entry.center());

    QCOMPARE(m_form->List1(0).ListIndex(), 5);
    QCOMPARE(m_form->List1(0).List(5), u"14"_s);
    QCOMPARE(m_form->List1(1).ListIndex(), -1);
    QCOMPARE(m_form->Text2(0).Text(), QString());
    QCOMPARE(m_form->Text2(2).Text(), u"1300"_s);
}

void TestForm::keyboardAloneChoosesACaratAndPressesAButton_data()
{
    QTest::addColumn<Qt::Key>("press");
    QTest::newRow("space") << Qt::Key_Space;
    QTest::newRow("return") << Qt::Key_Return;
    QTest::newRow("enter on the keypad") << Qt::Key_Enter;
}

void TestForm::keyboardAloneChoosesACaratAndPressesAButton()
{
    QFETCH(Qt::Key, press);
    m_form->Text2(1).setText(u"1"_s);
    m_form->Text2(2).setText(u"1300"_s);
    m_form->Text2(3).setText(u"1.4"_s);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QWidget *list = QApplication::focusWidget();
    QCOMPARE(list, &m_form->List1(0).widget());
    // The focus alone gives the list a current entry, which is no choice of carat.
    QCOMPARE(m_form->List1(0).ListIndex(), -1);
    // Home there chooses the first carat, though it is current already.
    QTest::keyClick(list, Qt::Key_Home);
    QCOMPARE(m_form->List1(0).ListIndex(), 0);
    QTest::keyClick(list, Qt::Key_End);
    QCOMPARE(m_form->List1(0).ListIndex(), 8);
    QTest::keyClick(list, Qt::Key_Home);
    QCOMPARE(m_form->List1(0).ListIndex(), 0);
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(m_form->List1(0).ListIndex(), 1);

    Command1(*m_form, 0).setFocus();
    QTest::keyClick(&Command1(*m_form, 0), press);
    QVERIFY2(
        m_form->Text2(0).Text().contains(u"Карати: 22\r\n"_s), qPrintable(m_form->Text2(0).Text()));
}

void TestForm::textKeepsItsLineEnds_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("shownLines");
    // The end of the last line shows nothing, and no empty line follows it.
    QTest::newRow("report lines") << u"Карати: 22\r\nМярка: 916\r\n"_s << 2;
    QTest::newRow("no line end") << u"58.51[лв]"_s << 1;
    QTest::newRow("empty") << QString() << 1;
    QTest::newRow("empty lines") << u"\r\n\r\n"_s << 2;
    QTest::newRow("lone carriage return") << u"a\rb"_s << 2;
    QTest::newRow("lone line feed") << u"a\nb"_s << 2;
    QTest::newRow("blanks at the ends") << u"  a \r\n b  "_s << 2;
}

void TestForm::textKeepsItsLineEnds()
{
    QFETCH(QString, text);
    QFETCH(int, shownLines);
    m_form->Text2(0).setText(text);
    QCOMPARE(static_cast<QPlainTextEdit &>(m_form->Text2(0).widget()).blockCount(), shownLines);

    // A box the user edits gives its lines back with CR LF as well.
    auto &unlocked = static_cast<QPlainTextEdit &>(m_form->Text2(0).widget());
    m_form->Text2(0).setLocked(false);
    m_form->Text2(0).setText(u"a\r\nb"_s);
    unlocked.moveCursor(QTextCursor::End);
    QTest::keyClick(&unlocked, Qt::Key_Return);
    QTest::keyClicks(&unlocked, u"c"_s);
    QCOMPARE(m_form->Text2(0).Text(), u"a\r\nb\r\nc"_s);
}

void TestForm::growingTextShowsAsIfSetAnew_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("shown");
    QTest::newRow("pieces of a line")
        << QStringList { u"Цена: "_s, u"Цена: 1*"_s, u"Цена: 1*2"_s } << u"Цена: 1*2"_s;
    // The last line's end shows nothing: the end of the text is on the last line.
    QTest::newRow("line by line") << QStringList { u"a\r\n"_s, u"a\r\nb\r\n"_s } << u"a\nb"_s;
    QTest::newRow("CR LF split between two writes")
        << QStringList { u"a\r"_s, u"a\r\nb"_s } << u"a\nb"_s;
    QTest::newRow("a shorter text") << QStringList { u"a\r\nb"_s, u"a"_s } << u"a"_s;
    QTest::newRow("another text") << QStringList { u"abc"_s, u"xyz1"_s } << u"xyz1"_s;
}

void TestForm::growingTextShowsAsIfSetAnew()
{
    QFETCH(QStringList, texts);
    QFETCH(QString, shown);
    auto &edit = static_cast<QPlainTextEdit &>(m_form->Text2(0).widget());
    for (const QString &text : texts)
        m_form->Text2(0).setText(text);
    QCOMPARE(edit.toPlainText(), shown);
    // The program's writes are not the user's to undo.
    QVERIFY(!edit.document()->isUndoAvailable());
}

void TestForm::coloursShowInTheWindow_data()
{
    QTest::addColumn<QPoint>("where");
    QTest::addColumn<QColor>("expected");
    const QColor form(192, 192, 255);
    const QColor label(255, 192, 128);
    QTest::newRow("form, right of the help text") << QPoint(472, 300) << form;
    QTest::newRow("form, between title and button") << QPoint(400, 10) << form;
    QTest::newRow("form, where the hidden list would be") << QPoint(440, 20) << form;
    QTest::newRow("form, below the inputs") << QPoint(200, 213) << form;
    QTest::newRow("title label, left edge") << QPoint(66, 12) << label;
    QTest::newRow("carats label") << QPoint(1, 44) << label;
    QTest::newRow("fineness label") << QPoint(66, 44) << label;
    QTest::newRow("weight label") << QPoint(10, 206) << label;
    QTest::newRow("price label") << QPoint(130, 206) << label;
    QTest::newRow("rate label") << QPoint(306, 206) << label;
    QTest::newRow("calculate button") << QPoint(403, 68) << QColor(0, 255, 0);
    QTest::newRow("clear button") << QPoint(403, 140) << QColor(255, 0, 0);
}

void TestForm::coloursShowInTheWindow()
{
    QFETCH(QPoint, where);
    QFETCH(QColor, expected);
    const QImage image = picture(m_form->window());
    const QColor seen = image.pixelColor(where);
    QCOMPARE(seen.name(), expected.name());
}

void TestForm::mouseAndKeyboardMakeAReport()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    auto &list = static_cast<QListWidget &>(m_form->List1(0).widget());
    QTest::mouseClick(
        list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.item(1)).center());
    QTest::mouseClick(&m_form->Text2(1).widget(), Qt::LeftButton);
    QTest::keyClicks(QApplication::focusWidget(), u"1"_s);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClicks(QApplication::focusWidget(), u"1300"_s);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClicks(QApplication::focusWidget(), u"1.4"_s);
    QTest::mouseClick(&Command1(*m_form, 0), Qt::LeftButton);

    // The report as the user sees it in the box, one line of the window to each line, and
    // no empty line after the last.
    QCOMPARE(static_cast<QPlainTextEdit &>(m_form->Text2(0).widget()).toPlainText(),
        u"Цена за грам инвестиционно злато: 58.51[лв]\n"
        "Карати: 22\n"
        "Мярка: 916 - злато 91.60%\n"
        "Примеси:  8.40%\n"
        "Очаквана цена, съобразно борсовата и каратите:\n"
        "Цена на злато: 1*1300*1.4*0.916 = 1667.12[лв]"_s);

    // The README shows the window with a report in it.
    QVERIFY(saveArtifact(picture(m_form->window()), u"velmora-report.png"_s));
}

void TestForm::overflowIsReportedAndNothingIsLost()
{
    m_form->Text2(0).setText(u"Карати: 22\r\n"_s);
    m_form->List1(0).setListIndex(1);
    QTest::keyClicks(&m_form->Text2(1).widget(), u"99"_s);
    QTest::keyClicks(&m_form->Text2(2).widget(), u"1e308"_s);
    QTest::keyClicks(&m_form->Text2(3).widget(), u"10"_s);
    MessageBoxCloser closer;

    QTest::mouseClick(&Command1(*m_form, 0), Qt::LeftButton);

    QCOMPARE(closer.texts(), QStringList { u"Грешка при изпълнение: Препълване."_s });
    QVERIFY(m_form->window().isVisible());
    QTRY_COMPARE(QApplication::activeWindow(), &m_form->window());
    QCOMPARE(QApplication::focusWidget(), &Command1(*m_form, 0));
    QCOMPARE(m_form->Text2(0).Text(), u"Карати: 22\r\n"_s);
    QCOMPARE(m_form->Text2(1).Text(), u"99"_s);
    QCOMPARE(m_form->Text2(2).Text(), u"1e308"_s);
    QCOMPARE(m_form->Text2(3).Text(), u"10"_s);
    QCOMPARE(m_form->List1(0).ListIndex(), 1);

    // The user mends the figure and goes on.
    QTest::keyClick(&m_form->Text2(2).widget(), Qt::Key_Backspace);
    QTest::keyClick(&m_form->Text2(2).widget(), Qt::Key_Backspace);
    QTest::keyClick(&m_form->Text2(2).widget(), Qt::Key_Backspace);
    QTest::mouseClick(&Command1(*m_form, 0), Qt::LeftButton);
    QCOMPARE(closer.texts().size(), 1);
    QVERIFY(m_form->Text2(0).Text().endsWith(u"Цена на злато: 99*1*10*0.916 = 906.84[лв]\r\n"_s));
}

namespace {

// The texts of the actions of the menu that the given action pops up, each without its
// shortcut, after which the menu is closed.
QStringList menuTexts(const std::function<void()> &open)
{
    QStringList texts;
    bool seen = false;
    QTimer::singleShot(0, [&texts, &seen] {
        seen = true;
        if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            for (const QAction *action : menu->actions()) {
                if (!action->isSeparator())
                    texts << action->text().section(u'\t', 0, 0);
            }
            menu->close();
        }
    });
    open();
    // A text box's menu pops up without waiting; a scroll bar's waits until it is closed.
    if (!QTest::qWaitFor([&seen] { return seen; }))
        qWarning("no menu opened");
    return texts;
}

void rightClick(QWidget &target)
{
    // A box with scroll bars takes the mouse in its viewport, as a real click would reach it.
    auto *area = qobject_cast<QAbstractScrollArea *>(&target);
    QWidget &widget = area ? *area->viewport() : target;
    const QPoint where = widget.rect().center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, where, widget.mapToGlobal(where));
    QApplication::sendEvent(&widget, &event);
}

} // namespace

// Qt's own texts are English unless its Bulgarian translation is loaded; the suite runs in
// whatever language the machine has, an English one on CI.
void TestForm::qtsOwnTextsAreBulgarian_data()
{
    QTest::addColumn<QString>("popup");
    QTest::addColumn<QStringList>("expected");
    const QStringList editable { u"&Отмяна"_s, u"По&втаряне"_s, u"&Изрязване"_s, u"&Копиране"_s,
        u"&Поставяне"_s, u"Изтриване"_s, u"Избиране на всичко"_s };
    const QStringList locked { u"&Копиране"_s, u"Избиране на всичко"_s };
    QTest::newRow("menu of a figure box") << u"Text2(2)"_s << editable;
    QTest::newRow("menu of the report, locked") << u"Text2(0)"_s << locked;
    QTest::newRow("menu of the help text's scroll bar")
        << u"scroll bar"_s
        << QStringList { u"Превъртайте тук"_s, u"Отгоре"_s, u"Отдолу"_s, u"Страница нагоре"_s,
               u"Страница надолу"_s, u"Превъртане нагоре"_s, u"Превъртане надолу"_s };
    QTest::newRow("error box") << u"error box"_s << QStringList { u"Добре"_s };
}

void TestForm::qtsOwnTextsAreBulgarian()
{
    QFETCH(QString, popup);
    QFETCH(QStringList, expected);
    platform::Window &window = m_form->window();
    QStringList seen;
    if (popup == u"error box"_s) {
        MessageBoxCloser closer;
        platform::reportRuntimeError(&window, RuntimeError(ErrorKind::Overflow));
        seen = closer.buttonTexts();
    } else if (popup == u"scroll bar"_s) {
        auto &help = static_cast<QPlainTextEdit &>(Text1(*m_form, 0).widget());
        seen = menuTexts([&] { rightClick(*help.verticalScrollBar()); });
    } else {
        QWidget *box = window.findChild<QWidget *>(popup);
        QVERIFY(box);
        seen = menuTexts([&] { rightClick(*box); });
    }
    QCOMPARE(seen, expected);
}

namespace {

double luminance(QRgb rgb)
{
    const auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(qRed(rgb)) + 0.7152 * linear(qGreen(rgb)) + 0.0722 * linear(qBlue(rgb));
}

double contrast(QRgb a, QRgb b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The colour most of the area shows, and the contrast of the pixel that stands out from it
// most: in an area of text, the text's own colour where a stroke is drawn in full.
struct Ink
{
    QRgb background = 0;
    double contrast = 1;
};

Ink inkIn(const QImage &image, const QRect &area)
{
    std::map<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[image.pixel(x, y)];
    }
    Ink ink;
    ink.background = std::max_element(counts.begin(), counts.end(), [](auto a, auto b) {
        return a.second < b.second;
    })->first;
    for (const auto &[pixel, count] : counts)
        ink.contrast = std::max(ink.contrast, contrast(pixel, ink.background));
    return ink;
}

// Desktops' palettes as Qt programs get them, the same in every colour group: Qt's own, the
// system's where it has one of its own (Windows', in dark mode too), GNOME's Adwaita dark as
// Qt's gtk3 theme gives it (GTK_THEME=Adwaita:dark), KDE's Breeze Dark, and the colours of
// GTK's own HighContrast themes.
std::vector<std::pair<const char *, QPalette>> desktopPalettes()
{
    struct Colours
    {
        const char *name, *window, *windowText, *base, *text, *button, *highlight, *selected;
    };
    const Colours desktops[] = {
        { "GNOME Adwaita dark", "#323232", "#f0f0f0", "#242424", "#f0f0f0", "#323232", "#308cc6",
            "#f0f0f0" },
        { "KDE Breeze Dark", "#2a2e32", "#fcfcfc", "#1b1e20", "#fcfcfc", "#31363b", "#3daee9",
            "#fcfcfc" },
        { "GNOME HighContrast", "#fdfdfc", "#272c2e", "#ffffff", "#000000", "#fdfdfc", "#1b6acb",
            "#ffffff" },
        { "GNOME HighContrastInverse", "#303030", "#f3f3f1", "#2d2d2d", "#ffffff", "#303030",
            "#0f3b71", "#ffffff" },
    };
    const QPalette qts = QApplication::style()->standardPalette();
    std::vector<std::pair<const char *, QPalette>> palettes { { "Qt's own", qts } };
    if (QApplication::palette() != qts)
        palettes.emplace_back("the system's", QApplication::palette());
    for (const Colours &desktop : desktops) {
        QPalette palette = qts;
        palette.setColor(QPalette::Window, QColor(desktop.window));
        palette.setColor(QPalette::WindowText, QColor(desktop.windowText));
        palette.setColor(QPalette::Base, QColor(desktop.base));
        palette.setColor(QPalette::Text, QColor(desktop.text));
        palette.setColor(QPalette::Button, QColor(desktop.button));
        palette.setColor(QPalette::ButtonText, QColor(desktop.windowText));
        palette.setColor(QPalette::Highlight, QColor(desktop.highlight));
        palette.setColor(QPalette::HighlightedText, QColor(desktop.selected));
        palettes.emplace_back(desktop.name, palette);
    }
    return palettes;
}

// The desktop's palette is there before the window, as when the program starts.
void rebuildUnder(std::unique_ptr<Velmora> &form, const QPalette &palette)
{
    form.reset();
    QApplication::setPalette(palette);
    form = std::make_unique<Velmora>();
    form->window().start();
    QVERIFY(QTest::qWaitForWindowActive(&form->window()));
}

} // namespace

void TestForm::textIsLegibleOnEveryPalette_data()
{
    QTest::addColumn<QPalette>("palette");
    for (const auto &[name, palette] : desktopPalettes())
        QTest::newRow(name) << palette;
}

void TestForm::textIsLegibleOnEveryPalette()
{
    QFETCH(QPalette, palette);
    const QPalette before = QApplication::palette();
    rebuildUnder(m_form, palette);
    Velmora &form = *m_form;
    form.List1(0).setListIndex(1);
    form.Text2(1).setText(u"1"_s);
    form.Text2(2).setText(u"1300"_s);
    form.Text2(3).setText(u"1.4"_s);
    form.Command1_Click(0);
    // Selected text: the chosen carat, and the price selected in its box with the focus.
    auto &price = static_cast<QLineEdit &>(form.Text2(2).widget());
    price.setFocus();
    price.selectAll();
    const QImage image = picture(form.window());
    QApplication::setPalette(before);
    if (qstrcmp(QTest::currentDataTag(), "the system's") == 0) {
        const QString colours = qEnvironmentVariable("VELMORA_COLOURS");
        QVERIFY(saveArtifact(image,
            u"velmora-system-colours%1.png"_s.arg(colours.isEmpty() ? QString() : u'-' + colours)));
    }

    const auto inWindow = [&](const QWidget &widget, const QRect &area) {
        return QRect(widget.mapTo(&form.window(), area.topLeft()), area.size());
    };
    // Inside the frames, the edges and the scroll bars: only what is written shows there.
    std::vector<std::pair<QString, QRect>> areas;
    for (std::int16_t index = 0; index <= 5; ++index) {
        const QLabel &label = Label1(form, index);
        areas.emplace_back(label.objectName(), inWindow(label, label.rect()));
    }
    for (std::int16_t index = 0; index <= 1; ++index) {
        const QAbstractButton &button = Command1(form, index);
        areas.emplace_back(
            button.objectName(), inWindow(button, button.rect().adjusted(3, 3, -3, -3)));
    }
    for (QWidget *box : { &form.Text2(0).widget(), &Text1(form, 0).widget(), &form.Text2(1).widget(),
             &form.Text2(3).widget() }) {
        const int scrollBar = box->width() > 100 ? 17 : 0;
        areas.emplace_back(
            box->objectName(), inWindow(*box, box->rect().adjusted(3, 3, -3 - scrollBar, -3)));
    }
    const QFontMetrics metrics(price.font());
    QRect selection(0, 0, metrics.horizontalAdvance(u"1300"_s) - 2, metrics.ascent());
    selection.moveCenter(price.rect().center());
    areas.emplace_back(u"the selected price"_s, inWindow(price, selection));
    auto &carats = static_cast<QListWidget &>(form.List1(0).widget());
    for (const int row : { 0, 1 }) {
        const QRect entry = carats.visualItemRect(carats.item(row)).adjusted(1, 1, -1, -1);
        areas.emplace_back(
            row == 1 ? u"the chosen carat"_s : u"a carat"_s, inWindow(*carats.viewport(), entry));
    }

    for (const auto &[what, area] : areas) {
        const Ink ink = inkIn(image, area);
        QVERIFY2(ink.contrast >= 4.5,
            qPrintable(u"%1: %2:1 on %3"_s.arg(what)
                           .arg(ink.contrast, 0, 'f', 2)
                           .arg(QColor(ink.background).name())));
    }
}

void TestForm::keyboardFocusIsMarked_data()
{
    QTest::addColumn<ControlName>("control");
    QTest::addColumn<QPalette>("palette");
    // The buttons' faces are the form's own; the list's is the desktop's.
    const QPalette qts = QApplication::style()->standardPalette();
    QTest::newRow("calculate button") << ControlName { u"Command1"_s, 0 } << qts;
    QTest::newRow("clear button") << ControlName { u"Command1"_s, 1 } << qts;
    for (const auto &[name, palette] : desktopPalettes()) {
        QTest::addRow("carat list, nothing chosen, %s", name)
            << ControlName { u"List1"_s, 0 } << palette;
    }
}

// The focus must add to a control's picture a mark that stands out from the control's face
// by 3:1 and goes round it.
void TestForm::keyboardFocusIsMarked()
{
    QFETCH(ControlName, control);
    QFETCH(QPalette, palette);
    const QPalette before = QApplication::palette();
    rebuildUnder(m_form, palette);
    QWidget *widget = &controlWidget(m_form->window(), control);
    const auto controlPicture = [&] { return picture(m_form->window()).copy(widget->geometry()); };
    const QImage unfocused = controlPicture();
    // Tab reaches each of them from the control before it in the tab order.
    widget->previousInFocusChain()->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), widget);
    const QImage focused = controlPicture();
    QApplication::setPalette(before);

    const QRgb face = inkIn(unfocused, unfocused.rect()).background;
    QRect marked;
    int markPixels = 0;
    for (int y = 0; y < focused.height(); ++y) {
        for (int x = 0; x < focused.width(); ++x) {
            const QRgb pixel = focused.pixel(x, y);
            if (pixel != unfocused.pixel(x, y) && contrast(pixel, face) >= 3) {
                marked |= QRect(x, y, 1, 1);
                ++markPixels;
            }
        }
    }
    // Round the control (a list's entries, beside its scroll bar), not a dot somewhere in it,
    // and at least dotted all the way.
    auto *list = qobject_cast<QAbstractScrollArea *>(widget);
    const QSize size = list ? list->viewport()->size() : widget->size();
    const QString found = u"marked %1x%2 of %3x%4 with %5 pixels"_s.arg(marked.width())
                              .arg(marked.height())
                              .arg(size.width())
                              .arg(size.height())
                              .arg(markPixels);
    QVERIFY2(marked.width() >= size.width() * 3 / 4 && marked.height() >= size.height() * 3 / 4
            && markPixels >= marked.width() + marked.height(),
        qPrintable(found));
    if (control == ControlName { u"List1"_s, 0 })
        QCOMPARE(m_form->List1(0).ListIndex(), -1);
}

VELMORA_TEST_MAIN(TestForm)

#include "tst_form.moc"
