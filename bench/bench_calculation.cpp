// In-process figures, each beside a reference measured in the same run:
// - a click on "Изчисли" to the report in the real window (target: median below 1 ms),
//   against the same click when no carat is chosen and nothing is written;
// - Val on texts of 256 KiB to 1 MiB (target: linear, below 5 ms for 1 MiB), against one
//   plain pass over the same characters;
// - Calculate with a one-megabyte figure (target: below 20 ms), against Val of that figure.

#include "bench/windowbenchmarks.h"
#include "calc/conversions.h"
#include "calc/procedures.h"

#include <QAbstractButton>
#include <QTest>

#include <benchmark/benchmark.h>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

void clickCalculate(benchmark::State &state, int carat)
{
    Velmora &velmora = startedForm();
    velmora.Text2(1).setText(u"1"_s);
    velmora.Text2(2).setText(u"1300"_s);
    velmora.Text2(3).setText(u"1.4"_s);
    velmora.List1(0).setListIndex(carat);
    bool heavier = false;
    for (auto _ : state) {
        // Every click writes a report other than the one shown: a box showing the same text
        // again does no work, and a user does not calculate the same thing twice.
        state.PauseTiming();
        heavier = !heavier;
        velmora.Text2(1).setText(heavier ? u"2"_s : u"1"_s);
        state.ResumeTiming();
        QTest::mouseClick(&velmora.window().button({ u"Command1"_s, 0 }), Qt::LeftButton);
        benchmark::DoNotOptimize(velmora.Text2(0).Text());
    }
}

void BM_ClickToReport(benchmark::State &state)
{
    clickCalculate(state, 1);
    state.SetLabel("target: median < 1 ms");
}
BENCHMARK(BM_ClickToReport)->Unit(benchmark::kMicrosecond);

void BM_ClickWithoutCarat_Reference(benchmark::State &state)
{
    clickCalculate(state, -1);
}
BENCHMARK(BM_ClickWithoutCarat_Reference)->Unit(benchmark::kMicrosecond);

// Digits after a point, so the number is read to its end and never overflows.
QString longFigure(qsizetype characters)
{
    return u"0."_s + QString(characters - 2, u'7');
}

void BM_Val(benchmark::State &state)
{
    const QString text = longFigure(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(Val(text));
    state.SetComplexityN(state.range(0));
    state.SetLabel("target: linear, < 5 ms at 1 MiB");
}
BENCHMARK(BM_Val)
    ->RangeMultiplier(2)
    ->Range(256 << 10, 1 << 20)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

void BM_PlainPass_Reference(benchmark::State &state)
{
    const QString text = longFigure(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            std::count_if(text.cbegin(), text.cend(), [](QChar c) { return c.isDigit(); }));
    }
}
BENCHMARK(BM_PlainPass_Reference)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

void BM_CalculateWithMegabyteFigure(benchmark::State &state)
{
    Velmora &velmora = startedForm();
    velmora.Text2(1).setText(u"1"_s);
    velmora.Text2(2).setText(longFigure(1 << 20));
    velmora.Text2(3).setText(u"1.4"_s);
    velmora.List1(0).setListIndex(1);
    for (auto _ : state) {
        velmora.Command1_Click(0);
        benchmark::DoNotOptimize(velmora.Text2(0).Text());
    }
    velmora.Text2(2).setText(QString());
    state.SetLabel("target: < 20 ms");
}
BENCHMARK(BM_CalculateWithMegabyteFigure)->Unit(benchmark::kMillisecond);

void BM_ValOfThatFigure_Reference(benchmark::State &state)
{
    const QString text = longFigure(1 << 20);
    for (auto _ : state)
        benchmark::DoNotOptimize(Val(text));
}
BENCHMARK(BM_ValOfThatFigure_Reference)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runWindowBenchmarks(argc, argv);
}
