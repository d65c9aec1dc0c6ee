// Any three figures and any carat position through Calculate on a fake form. The report
// is either left as it was (a silent stop or a raised error) or a six-line report whose
// figures are worked out again here, independently of the procedure.

#include "calc/conversions.h"
#include "calc/procedures.h"
#include "calc/runtimeerror.h"
#include "tests/fakeform.h"

#include <QStringList>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

const QString oldReport = u"стар\r\n"_s;

void fail(const char *what, const QString &detail)
{
    std::fprintf(stderr, "%s\n%s\n", what, qPrintable(detail));
    std::abort();
}

struct Expected
{
    bool raises = false;
    std::optional<QString> report;
};

// The carat table as a person reads it, not as the procedure slices it.
const QStringList fineness{u"999 - злато 99.99%"_s, u"916 - злато 91.60%"_s,
                           u"833 - злато 83.30%"_s, u"750 - злато 75.00%"_s,
                           u"625 - злато 62.50%"_s, u"585 - злато 58.50%"_s,
                           u"499 - злато 49.90%"_s, u"417 - злато 41.70%"_s,
                           u"375 - злато 37.50%"_s};
const QStringList impurity{u" 0.01%"_s, u" 8.40%"_s, u"16.70%"_s, u"25.00%"_s, u"37.50%"_s,
                           u"41.50%"_s, u"50.10%"_s, u"58.30%"_s, u"62.50%"_s};
const QStringList shares{u"0.9999"_s, u"0.916"_s, u"0.833"_s, u"0.75"_s, u"0.625"_s,
                         u"0.585"_s, u"0.499"_s, u"0.417"_s, u"0.375"_s};
const double shareValues[] = {0.9999, 0.916, 0.833, 0.75, 0.625, 0.585, 0.499, 0.417, 0.375};

Expected expect(const FakeForm &form, int carat)
{
    double figures[3];
    for (int i = 0; i < 3; ++i) {
        try {
            figures[i] = Val(form.text2[i + 1].text);
        } catch (const RuntimeError &) {
            return {.raises = true};
        }
    }
    const auto [ounces, price, rate] = figures;
    const double gross = ounces * price * rate;
    if (std::isinf(ounces * price) || std::isinf(gross))
        return {.raises = true};
    if (carat < 0 || gross <= 0)
        return {};
    if (std::isinf(price * rate))
        return {.raises = true};

    const QString gramPrice = NumText(RoundToCents(price * rate / 31.1035));
    const QString alloyPrice = NumText(RoundToCents(gross * shareValues[carat]));
    return {.report = u"Цена за грам инвестиционно злато: "_s + gramPrice + u"[лв]\r\n"_s
                    + u"Карати: "_s + form.carats.entries[carat] + u"\r\n"_s
                    + u"Мярка: "_s + fineness[carat] + u"\r\n"_s
                    + u"Примеси: "_s + impurity[carat] + u"\r\n"_s
                    + u"Очаквана цена, съобразно борсовата и каратите:\r\n"_s
                    + u"Цена на злато: "_s + NumText(ounces) + u"*"_s + NumText(price) + u"*"_s
                    + NumText(rate) + u"*"_s + shares[carat] + u" = "_s + alloyPrice
                    + u"[лв]\r\n"_s};
}

void checkShape(const QString &report)
{
    if (!report.endsWith(u"\r\n"_s))
        fail("the report's last line has no CR LF", report);
    const QStringList lines = report.chopped(2).split(u"\r\n"_s);
    if (lines.size() != 6)
        fail("the report has not six lines", report);
    for (const QString &line : lines) {
        if (line.contains(u'\r') || line.contains(u'\n'))
            fail("a stray line break in the report", report);
    }
}

} // namespace

// The first byte picks the carat position, -1 to 8; the rest holds the weight, the price
// and the rate, separated by 0xFF bytes, which UTF-8 never uses.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const int carat = data[0] % 10 - 1;
    const QList<QByteArray> parts =
            QByteArray(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1)).split('\xff');

    FakeForm form;
    form.text2[0].text = oldReport;
    for (int i = 0; i < 3 && i < parts.size(); ++i)
        form.text2[i + 1].text = QString::fromUtf8(parts[i]);
    form.carats.index = carat;
    const FakeForm typed = form;
    const Expected expected = expect(form, carat);

    bool raised = false;
    try {
        Calculate(form);
    } catch (const RuntimeError &error) {
        raised = true;
        if (error.kind() != ErrorKind::Overflow)
            fail("an error other than Overflow", error.description());
    }

    for (int i = 1; i <= 3; ++i) {
        if (form.text2[i].text != typed.text2[i].text)
            fail("a typed figure changed", form.text2[i].text);
    }
    if (raised != expected.raises)
        fail(raised ? "an unexpected error" : "a missing error", form.text2[2].text);
    if (!expected.report) {
        if (form.text2[0].text != oldReport)
            fail("the report changed although nothing was to be written", form.text2[0].text);
        return 0;
    }
    checkShape(form.text2[0].text);
    if (form.text2[0].text != *expected.report)
        fail("the report disagrees with its figures", form.text2[0].text + u"\n"_s + *expected.report);
    if (form.fineness.index != carat)
        fail("the fineness list does not follow the carat", QString::number(form.fineness.index));
    return 0;
}
