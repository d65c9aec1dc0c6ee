// What a screen reader waits for, per query, on a figure box of the real window holding a
// figure of 1 KiB and of 1 MiB (target: every query below 5 ms at 1 MiB), each size beside
// the other: a character's box, the character at a point, the word, line and character at
// an offset, a part of the text and the count of characters. The figure is laid out once
// before the timing starts; every query after it finds the text unchanged.

#include "bench/windowbenchmarks.h"

#include <QAccessible>
#include <QAccessibleTextInterface>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

// The price box, centred, holding a figure of the given length; the middle of it is where
// every query is asked.
QAccessibleTextInterface &figureBox(qsizetype characters)
{
    platform::TextBoxAdapter &box = startedForm().Text2(2);
    const QString figure = u"0."_s + QString(characters - 2, u'7');
    if (box.Text() != figure)
        box.setText(figure);
    QAccessibleTextInterface &text
        = *QAccessible::queryAccessibleInterface(&box.widget())->textInterface();
    text.characterRect(0);
    return text;
}

template <class Query> void perQuery(benchmark::State &state, Query query)
{
    const int length = int(state.range(0));
    QAccessibleTextInterface &text = figureBox(length);
    const int middle = length / 2;
    benchmark::DoNotOptimize(query(text, middle));
    for (auto _ : state)
        benchmark::DoNotOptimize(query(text, middle));
}

void BM_CharacterRect(benchmark::State &state)
{
    perQuery(state, [](QAccessibleTextInterface &text, int at) { return text.characterRect(at); });
}

void BM_OffsetAtPoint(benchmark::State &state)
{
    QAccessibleTextInterface &text = figureBox(state.range(0));
    const QPoint point = text.characterRect(int(state.range(0)) / 2).center();
    for (auto _ : state)
        benchmark::DoNotOptimize(text.offsetAtPoint(point));
}

template <QAccessible::TextBoundaryType kind> void BM_TextAtOffset(benchmark::State &state)
{
    perQuery(state, [](QAccessibleTextInterface &text, int at) {
        int start = 0;
        int end = 0;
        return text.textAtOffset(at, kind, &start, &end).size() + start + end;
    });
}

void BM_TextBetween(benchmark::State &state)
{
    perQuery(state, [](QAccessibleTextInterface &text, int at) { return text.text(at, at + 16); });
}

void BM_CharacterCount(benchmark::State &state)
{
    perQuery(state, [](QAccessibleTextInterface &text, int) { return text.characterCount(); });
}

void sizes(benchmark::internal::Benchmark *benchmark)
{
    benchmark->Arg(1 << 10)->Arg(1 << 20)->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_CharacterRect)->Apply(sizes);
BENCHMARK(BM_OffsetAtPoint)->Apply(sizes);
BENCHMARK(BM_TextAtOffset<QAccessible::WordBoundary>)->Name("BM_WordAtOffset")->Apply(sizes);
BENCHMARK(BM_TextAtOffset<QAccessible::LineBoundary>)->Name("BM_LineAtOffset")->Apply(sizes);
BENCHMARK(BM_TextAtOffset<QAccessible::CharBoundary>)->Name("BM_CharAtOffset")->Apply(sizes);
BENCHMARK(BM_TextBetween)->Apply(sizes);
BENCHMARK(BM_CharacterCount)->Apply(sizes);

} // namespace

int main(int argc, char **argv)
{
    return runWindowBenchmarks(argc, argv);
}
