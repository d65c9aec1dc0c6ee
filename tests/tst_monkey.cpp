// Random mouse and keyboard events on the real window, with a fixed seed. After every event
// the window is up, every error was reported and its box closed, the report is exactly what
// the last command wrote, the fixed texts are untouched and the weight holds two characters
// at most. Replay a failure with VELMORA_MONKEY_SEED; VELMORA_MONKEY_EVENTS sets the count.

#include "tests/expectedreport.h"
#include "tests/formcontrols.h"
#include "tests/guitest.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>
#include <QRandomGenerator>
#include <QTest>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

constexpr quint32 defaultSeed = 20261208;
constexpr int defaultEvents = 20000;

// A hang is an event that never ends. On a loaded machine one event can take seconds
// without hanging (the sanitizers slow everything several times over besides), so only an
// event still running after a minute is a hang; the slowest event is named at the end, so
// that a slow one is seen without failing the run.
constexpr auto hangLimit = std::chrono::seconds(60);

// Fails the run when the event in progress takes longer than the hang limit.
class Watchdog
{
public:
    explicit Watchdog(quint32 seed) : m_seed(seed)
    {
        m_thread = std::thread([this] {
            using clock = std::chrono::steady_clock;
            int watched = -1;
            auto since = clock::now();
            while (!m_stop) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                const int current = m_event;
                const auto taken = clock::now() - since;
                if (current != watched) {
                    if (taken > m_slowest) {
                        m_slowest = taken;
                        m_slowestEvent = watched;
                    }
                    watched = current;
                    since = clock::now();
                } else if (taken > hangLimit) {
                    std::fprintf(
                        stderr, "FAIL: event %d hung the window (seed %u)\n", current, m_seed);
                    std::_Exit(1);
                }
            }
        });
    }
    ~Watchdog()
    {
        m_stop = true;
        m_thread.join();
        std::printf("monkey: the slowest event, #%d, took at most %lld ms\n", m_slowestEvent,
            qlonglong(std::chrono::duration_cast<std::chrono::milliseconds>(m_slowest).count()));
    }
    void startEvent(int index) { m_event = index; }

private:
    quint32 m_seed;
    std::atomic<int> m_event { -1 };
    std::atomic<bool> m_stop { false };
    std::thread m_thread;
    std::chrono::steady_clock::duration m_slowest {};
    int m_slowestEvent = -1;
};

QStringList pastes()
{
    return { QString(1 << 20, u'9'), u"1e308"_s, u"-1e308"_s, u"1e-400"_s, u"9.9E+307"_s, u"2e+2"_s,
        u"1e99999999999999999999"_s, u"\x01\x02\t\r\n\x7f"_s, QString(QChar(u'\0')) + u"12"_s,
        u"хиляда и триста"_s, u"1 300,50 лв"_s, u"💰🪙1300"_s, u"\u200F1300\u202E4.1\u200E"_s,
        u"1.4"_s, u"1300"_s, u"0.000001"_s };
}

const QStringList typings { u"1"_s, u"2"_s, u"5"_s, u"9"_s, u"0"_s, u"13"_s, u"."_s, u","_s, u"e"_s,
    u"E"_s, u"-"_s, u"+"_s, u" "_s, u"я"_s, u"ж"_s, u"😀"_s };

const QList<QPair<int, Qt::KeyboardModifiers>> keys { { Qt::Key_Tab, Qt::NoModifier },
    { Qt::Key_Backtab, Qt::ShiftModifier }, { Qt::Key_Up, Qt::NoModifier },
    { Qt::Key_Down, Qt::NoModifier }, { Qt::Key_Left, Qt::NoModifier },
    { Qt::Key_Right, Qt::NoModifier }, { Qt::Key_Home, Qt::NoModifier },
    { Qt::Key_End, Qt::NoModifier }, { Qt::Key_Delete, Qt::NoModifier },
    { Qt::Key_Backspace, Qt::NoModifier }, { Qt::Key_Space, Qt::NoModifier },
    { Qt::Key_Return, Qt::NoModifier }, { Qt::Key_A, Qt::ControlModifier },
    { Qt::Key_C, Qt::ControlModifier }, { Qt::Key_V, Qt::ControlModifier },
    { Qt::Key_X, Qt::ControlModifier }, { Qt::Key_Z, Qt::ControlModifier },
    { Qt::Key_PageDown, Qt::NoModifier } };

} // namespace

class TestMonkey : public QObject
{
    Q_OBJECT

private slots:
    void windowSurvivesRandomEvents();

private:
    QString randomEvent(QRandomGenerator &random);
    void checkAfterEvent(const QString &event);
    // What the user sees typed and chosen, read from the widgets, not through the program.
    QStringList typed() const;
    int chosenCarat() const;

    std::unique_ptr<Velmora> m_form;
    std::unique_ptr<MessageBoxCloser> m_closer;
    quint32 m_seed = defaultSeed;
    QString m_expectedReport;
    QString m_help;
    QString m_hidden;
    QStringList m_typedAtPress;
    int m_caratAtPress = -1;
    qsizetype m_boxesAccounted = 0;
    int m_calculations = 0;
    int m_reports = 0;
    QStringList m_failures;
};

QString TestMonkey::randomEvent(QRandomGenerator &random)
{
    platform::Window &window = m_form->window();
    QWidget *focus = QApplication::focusWidget() ? QApplication::focusWidget() : &window;
    const int kind = random.bounded(100);
    if (kind < 6) {
        QTest::mouseClick(&Command1(*m_form, 0), Qt::LeftButton);
        return u"click Изчисли"_s;
    }
    if (kind < 7) {
        QTest::mouseClick(&Command1(*m_form, 1), Qt::LeftButton);
        return u"click Изчисти"_s;
    }
    if (kind < 12) {
        auto &list = static_cast<QListWidget &>(m_form->List1(0).widget());
        const int row = random.bounded(list.count());
        const QRect entry = list.visualItemRect(list.item(row));
        if (entry.isValid() && list.viewport()->rect().contains(entry.center()))
            QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, entry.center());
        return u"click carat %1"_s.arg(row);
    }
    if (kind < 25) {
        // A person filling in a figure: click the box, select what is there, type anew.
        static const QStringList figures { u"1"_s, u"2"_s, u"1300"_s, u"1.4"_s, u"2000.5"_s,
            u"-3"_s, u"0.25"_s, u"1e3"_s, u"1 800"_s, u"1e308"_s };
        const auto box = std::int16_t(1 + random.bounded(3));
        QWidget &edit = m_form->Text2(box).widget();
        QTest::mouseClick(&edit, Qt::LeftButton);
        QTest::keySequence(&edit, QKeySequence::SelectAll);
        const QString figure = figures[random.bounded(figures.size())];
        QTest::keyClicks(&edit, figure);
        return u"fill Text2(%1) with %2"_s.arg(box).arg(figure);
    }
    if (kind < 35) {
        const QPoint point(random.bounded(window.width()), random.bounded(window.height()));
        QWidget *target = window.childAt(point);
        if (!target)
            target = &window;
        const QPoint local = target->mapFrom(&window, point);
        if (random.bounded(4) == 0)
            QTest::mouseDClick(target, Qt::LeftButton, {}, local);
        else
            QTest::mouseClick(target, Qt::LeftButton, {}, local);
        return u"click at %1,%2"_s.arg(point.x()).arg(point.y());
    }
    if (kind < 60) {
        const auto [key, modifiers] = keys[random.bounded(keys.size())];
        QTest::keyClick(focus, Qt::Key(key), modifiers);
        return u"key %1 %2"_s.arg(key, 0, 16).arg(int(modifiers), 0, 16);
    }
    if (kind < 92) {
        const QString text = typings[random.bounded(typings.size())];
        // As a keyboard or an input method sends it: QTest::keyClicks knows ASCII only.
        QTest::sendKeyEvent(QTest::Click, focus, Qt::Key_unknown, text, Qt::NoModifier);
        return u"type %1"_s.arg(text);
    }
    static const QStringList texts = pastes();
    // The megabyte is rare: a box that holds it answers each key in a tenth of a second.
    const int which = random.bounded(200) == 0 ? 0 : 1 + random.bounded(texts.size() - 1);
    QApplication::clipboard()->setText(texts[which]);
    // The megabyte replaces what is selected: megabytes piling up in one box would measure
    // the toolkit's line layout, not the program.
    if (which == 0)
        QTest::keySequence(focus, QKeySequence::SelectAll);
    QTest::keySequence(focus, QKeySequence::Paste);
    return u"paste %1"_s.arg(texts[which].left(20));
}

void TestMonkey::checkAfterEvent(const QString &event)
{
    const auto fail = [&](const QString &what) {
        m_failures << u"%1 after \"%2\" (seed %3)"_s.arg(what, event).arg(m_seed);
    };
    if (!m_form->window().isVisible())
        fail(u"the window is gone"_s);
    if (QApplication::activeModalWidget())
        fail(u"a message box is still open"_s);
    if (m_closer->texts().size() != m_boxesAccounted)
        fail(u"a message box no command explains: %1"_s.arg(m_closer->texts().last()));
    const QString report = m_form->Text2(0).Text();
    if (report != m_expectedReport)
        fail(u"the report is not what the last command wrote: %1"_s.arg(report.left(200)));
    if (Text1(*m_form, 0).Text() != m_help || Text1(*m_form, 1).Text() != m_hidden)
        fail(u"a fixed text changed"_s);
    if (m_form->Text2(1).Text().size() > 2)
        fail(u"the weight holds more than two characters"_s);
    if (!m_form->Text2(1).Text().isValidUtf16())
        fail(u"the weight holds half a character"_s);
}

QStringList TestMonkey::typed() const
{
    QStringList figures;
    for (std::int16_t box = 1; box <= 3; ++box)
        figures << static_cast<QLineEdit &>(m_form->Text2(box).widget()).text();
    return figures;
}

int TestMonkey::chosenCarat() const
{
    const auto &list = static_cast<QListWidget &>(m_form->List1(0).widget());
    const QList<QListWidgetItem *> chosen = list.selectedItems();
    return chosen.isEmpty() ? -1 : list.row(chosen.first());
}

void TestMonkey::windowSurvivesRandomEvents()
{
    QLocale::setDefault(QLocale::c());
    if (qEnvironmentVariableIsSet("VELMORA_MONKEY_SEED"))
        m_seed = qEnvironmentVariable("VELMORA_MONKEY_SEED").toUInt();
    const int events = qEnvironmentVariableIsSet("VELMORA_MONKEY_EVENTS")
        ? qEnvironmentVariableIntValue("VELMORA_MONKEY_EVENTS")
        : defaultEvents;
    std::printf("monkey: seed %u, %d events\n", m_seed, events);
    QRandomGenerator random(m_seed);

    m_form = std::make_unique<Velmora>();
    m_form->window().start();
    QVERIFY(QTest::qWaitForWindowActive(&m_form->window()));
    m_closer = std::make_unique<MessageBoxCloser>();
    m_help = Text1(*m_form, 0).Text();
    m_hidden = Text1(*m_form, 1).Text();

    // The handler runs between press and click: what the calculation saw is taken at the
    // press, its outcome is checked at the click.
    QAbstractButton &calculate = Command1(*m_form, 0);
    connect(&calculate, &QAbstractButton::pressed, this, [this] {
        m_typedAtPress = typed();
        m_caratAtPress = chosenCarat();
    });
    connect(&calculate, &QAbstractButton::clicked, this, [this] {
        const oracle::Outcome expected = oracle::expectedOutcome(
            m_typedAtPress[0], m_typedAtPress[1], m_typedAtPress[2], m_caratAtPress);
        const qsizetype boxes = m_closer->texts().size() - m_boxesAccounted;
        m_boxesAccounted = m_closer->texts().size();
        if (boxes != (expected.raises ? 1 : 0))
            m_failures << u"%1 message boxes for one calculation of %2 (seed %3)"_s.arg(boxes)
                              .arg(m_typedAtPress.join(u" | "_s).left(200))
                              .arg(m_seed);
        ++m_calculations;
        if (expected.report) {
            m_expectedReport = *expected.report;
            ++m_reports;
        }
        if (typed() != m_typedAtPress || chosenCarat() != m_caratAtPress)
            m_failures << u"the calculation changed what was typed (seed %1)"_s.arg(m_seed);
    });
    connect(&Command1(*m_form, 1), &QAbstractButton::clicked, this,
        [this] { m_expectedReport.clear(); });

    Watchdog watchdog(m_seed);
    for (int index = 0; index < events && m_failures.isEmpty(); ++index) {
        watchdog.startEvent(index);
        const QString event = randomEvent(random);
        QCoreApplication::processEvents();
        checkAfterEvent(u"#%1 %2"_s.arg(index).arg(event));
    }
    std::printf("monkey: %d calculations, %d reports, %lld errors reported\n", m_calculations,
        m_reports, qlonglong(m_closer->texts().size()));
    QVERIFY2(m_failures.isEmpty(), qPrintable(m_failures.join(u'\n')));
}

VELMORA_TEST_MAIN(TestMonkey)

#include "tst_monkey.moc"
