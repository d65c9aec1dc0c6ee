// Any three figures and any carat position through Calculate on a fake form. The report
// is either left as it was (a silent stop or a raised error) or exactly the report the
// independent oracle of tests/expectedreport.h writes for the same figures.

#include "calc/procedures.h"
#include "calc/runtimeerror.h"
#include "tests/expectedreport.h"
#include "tests/fakeform.h"
#include "tests/fuzz/fail.h"

#include <QLocale>

#include <cstdint>

using namespace Qt::StringLiterals;

namespace {

const QString oldReport = u"стар\r\n"_s;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    QLocale::setDefault(QLocale::c());
    return 0;
}

// The first byte picks the carat position, -1 to 8; the rest holds the weight, the price
// and the rate, separated by 0xFF bytes, which UTF-8 never uses.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const int carat = data[0] % 10 - 1;
    const QList<QByteArray> parts
        = QByteArray(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1)).split('\xff');

    FakeForm form;
    form.text2[0].text = oldReport;
    for (int i = 0; i < 3 && i < parts.size(); ++i)
        form.text2[i + 1].text = QString::fromUtf8(parts[i]);
    form.carats.index = carat;
    const FakeForm typed = form;
    const oracle::Outcome expected = oracle::expectedOutcome(
        form.text2[1].text, form.text2[2].text, form.text2[3].text, carat);

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
    const QString report = expected.report.value_or(oldReport);
    if (form.text2[0].text != report)
        fail("the report is not the one its figures make", form.text2[0].text + u"\n"_s + report);
    if (expected.report && form.fineness.index != carat)
        fail("the fineness list does not follow the carat", QString::number(form.fineness.index));
    return 0;
}
