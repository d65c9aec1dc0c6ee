#include "calc/procedures.h"
#include "tests/fakeform.h"
#include "tests/raised.h"

#include <QLocale>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString oldReport = u"старият отчет\r\n"_s;

// A form with a report from before, the three figures typed and a carat chosen.
FakeForm typedForm(const QStringList &typed, int carat)
{
    FakeForm form;
    form.text2[0].text = oldReport;
    for (int box = 1; box <= 3; ++box)
        form.text2[box].text = typed[box - 1];
    form.carats.index = carat;
    return form;
}

QString report(const QString &gram, const QString &carats, const QString &fineness,
    const QString &impurity, const QString &priceLine)
{
    return u"Цена за грам инвестиционно злато: "_s + gram + u"[лв]\r\n"_s + u"Карати: "_s + carats
        + u"\r\n"_s + u"Мярка: "_s + fineness + u"\r\n"_s + u"Примеси: "_s + impurity + u"\r\n"_s
        + u"Очаквана цена, съобразно борсовата и каратите:\r\n"_s + u"Цена на злато: "_s + priceLine
        + u"[лв]\r\n"_s;
}

} // namespace

class TestCalculate : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void writesTheReport_data();
    void writesTheReport();
    void stopsSilently_data();
    void stopsSilently();
    void overflowLeavesEverythingAsItWas_data();
    void overflowLeavesEverythingAsItWas();
    void failureHalfWayKeepsTheLinesWritten();
    void clearEmptiesTheBoxesAndTheSelection();
};

void TestCalculate::cleanup()
{
    QLocale::setDefault(QLocale::c());
}

void TestCalculate::writesTheReport_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<int>("carat");
    QTest::addColumn<QString>("expected");

    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale bulgarian(QLocale::Bulgarian, QLocale::Bulgaria);
    const QString fineness22 = u"916 - злато 91.60%"_s;
    const QString impurity22 = u" 8.40%"_s;

    // The worked example, 1 ounce at 1300 dollars and 1.4 leva to the dollar, in every carat.
    const auto carat = [&](int position, const QString &carats, const QString &fineness,
                           const QString &impurity, const QString &price) {
        QTest::addRow("%s carats", qPrintable(carats))
            << english << QStringList { u"1"_s, u"1300"_s, u"1.4"_s } << position
            << report(u"58.51"_s, carats, fineness, impurity, price);
    };
    // 24 carats leave 1 part in ten thousand: 0.01 %, not 1 %.
    carat(0, u"24"_s, u"999 - злато 99.99%"_s, u" 0.01%"_s, u"1*1300*1.4*0.9999 = 1819.82"_s);
    carat(1, u"22"_s, fineness22, impurity22, u"1*1300*1.4*0.916 = 1667.12"_s);
    carat(2, u"20"_s, u"833 - злато 83.30%"_s, u"16.70%"_s, u"1*1300*1.4*0.833 = 1516.06"_s);
    carat(3, u"18"_s, u"750 - злато 75.00%"_s, u"25.00%"_s, u"1*1300*1.4*0.75 = 1365"_s);
    carat(4, u"16"_s, u"625 - злато 62.50%"_s, u"37.50%"_s, u"1*1300*1.4*0.625 = 1137.5"_s);
    carat(5, u"14"_s, u"585 - злато 58.50%"_s, u"41.50%"_s, u"1*1300*1.4*0.585 = 1064.7"_s);
    carat(6, u"12"_s, u"499 - злато 49.90%"_s, u"50.10%"_s, u"1*1300*1.4*0.499 = 908.18"_s);
    carat(7, u"10"_s, u"417 - злато 41.70%"_s, u"58.30%"_s, u"1*1300*1.4*0.417 = 758.94"_s);
    carat(8, u"9"_s, u"375 - злато 37.50%"_s, u"62.50%"_s, u"1*1300*1.4*0.375 = 682.5"_s);

    QTest::newRow("a comma typed ends the number; the locale's comma is shown")
        << bulgarian << QStringList { u"1"_s, u"1300"_s, u"1,4"_s } << 1
        << report(u"41,8"_s, u"22"_s, fineness22, impurity22, u"1*1300*1*0,916 = 1190,8"_s);
    QTest::newRow("prices keep at most two decimals, no trailing zero")
        << english << QStringList { u"1"_s, u"2000"_s, u"1.8"_s } << 1
        << report(u"115.74"_s, u"22"_s, fineness22, impurity22, u"1*2000*1.8*0.916 = 3297.6"_s);
    QTest::newRow("figures echoed as read, not as typed")
        << english << QStringList { u"1.50"_s, u"1300abc"_s, u"1 400"_s } << 1
        << report(
               u"58514.32"_s, u"22"_s, fineness22, impurity22, u"1.5*1300*1400*0.916 = 2500680"_s);
    QTest::newRow("two negative figures make a positive product")
        << english << QStringList { u"-1"_s, u"-1300"_s, u"1.4"_s } << 1
        << report(u"-58.51"_s, u"22"_s, fineness22, impurity22, u"-1*-1300*1.4*0.916 = 1667.12"_s);
    QTest::newRow("no grouping in large prices")
        << bulgarian << QStringList { u"99"_s, u"2000000"_s, u"2"_s } << 8
        << report(u"128602,89"_s, u"9"_s, u"375 - злато 37.50%"_s, u"62.50%"_s,
               u"99*2000000*2*0,375 = 148500000"_s);
}

void TestCalculate::writesTheReport()
{
    QFETCH(QLocale, locale);
    QFETCH(QStringList, typed);
    QFETCH(int, carat);
    QFETCH(QString, expected);
    QLocale::setDefault(locale);
    FakeForm form = typedForm(typed, carat);

    Calculate(form);

    QCOMPARE(form.text2[0].text, expected);
    QCOMPARE(form.fineness.index, carat);
    // The figures the user typed are never touched.
    QCOMPARE(form.text2[1].text, typed[0]);
    QCOMPARE(form.text2[2].text, typed[1]);
    QCOMPARE(form.text2[3].text, typed[2]);
}

void TestCalculate::stopsSilently_data()
{
    QTest::addColumn<int>("carat");
    QTest::addColumn<QStringList>("typed");
    QTest::newRow("no carat chosen") << -1 << QStringList { u"1"_s, u"1300"_s, u"1.4"_s };
    QTest::newRow("all figures empty") << 1 << QStringList { QString(), QString(), QString() };
    QTest::newRow("a letter for the weight") << 1 << QStringList { u"a"_s, u"1300"_s, u"1.4"_s };
    QTest::newRow("a zero rate") << 1 << QStringList { u"1"_s, u"1300"_s, u"0"_s };
    QTest::newRow("one negative figure") << 1 << QStringList { u"-1"_s, u"1300"_s, u"1.4"_s };
    QTest::newRow("a product too small for a double")
        << 1 << QStringList { u"1e-200"_s, u"1e-200"_s, u"1"_s };
}

void TestCalculate::stopsSilently()
{
    QFETCH(int, carat);
    QFETCH(QStringList, typed);
    FakeForm form = typedForm(typed, carat);
    form.fineness.index = 3;

    Calculate(form);

    QCOMPARE(form.text2[0].text, oldReport);
    QCOMPARE(form.fineness.index, 3);
    QCOMPARE(form.carats.index, carat);
}

void TestCalculate::overflowLeavesEverythingAsItWas_data()
{
    QTest::addColumn<int>("carat");
    QTest::addColumn<QStringList>("typed");
    QTest::newRow("product of the three figures")
        << 1 << QStringList { u"99"_s, u"1e308"_s, u"10"_s };
    QTest::newRow("product even without a carat")
        << -1 << QStringList { u"99"_s, u"1e308"_s, u"10"_s };
    QTest::newRow("price times rate alone")
        << 1 << QStringList { u"1e-300"_s, u"1e300"_s, u"1e300"_s };
    QTest::newRow("a figure too large to read")
        << 1 << QStringList { u"1"_s, u"1e400"_s, u"1.4"_s };
}

void TestCalculate::overflowLeavesEverythingAsItWas()
{
    QFETCH(int, carat);
    QFETCH(QStringList, typed);
    FakeForm form = typedForm(typed, carat);

    QCOMPARE(raised([&] { Calculate(form); }), ErrorKind::Overflow);

    QCOMPARE(form.text2[0].text, oldReport);
    QCOMPARE(form.text2[1].text, typed[0]);
    QCOMPARE(form.text2[2].text, typed[1]);
    QCOMPARE(form.text2[3].text, typed[2]);
    QCOMPARE(form.fineness.index, -1);
}

void TestCalculate::failureHalfWayKeepsTheLinesWritten()
{
    FakeForm form = typedForm({ u"1"_s, u"1300"_s, u"1.4"_s }, 1);
    form.fineness.failingEntry = 1;

    QCOMPARE(raised([&] { Calculate(form); }), ErrorKind::InvalidPropertyArrayIndex);
    QCOMPARE(
        form.text2[0].text, u"Цена за грам инвестиционно злато: 58.51[лв]\r\nКарати: 22\r\n"_s);
}

void TestCalculate::clearEmptiesTheBoxesAndTheSelection()
{
    FakeForm form = typedForm({ u"1"_s, u"1300"_s, u"1.4"_s }, 1);
    form.fineness.index = 1;

    ClearInputs(form);

    for (const FakeTextBox &box : form.text2)
        QCOMPARE(box.text, QString());
    QCOMPARE(form.carats.index, -1);
    // The hidden fineness list keeps the position of the last report.
    QCOMPARE(form.fineness.index, 1);
}

QTEST_GUILESS_MAIN(TestCalculate)

#include "tst_calculate.moc"
