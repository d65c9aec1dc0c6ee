// Any text through Val, any double through NumText, Str and rounding to cents, each held
// against the independent reading, writing and rounding of tests/expectedreport.h.

#include "calc/conversions.h"
#include "calc/runtimeerror.h"
#include "tests/expectedreport.h"
#include "tests/fuzz/fail.h"

#include <QLocale>
#include <QString>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

using namespace Qt::StringLiterals;

namespace {

// Bit for bit, so that -0 and 0 differ.
bool same(std::optional<double> left, std::optional<double> right)
{
    if (!left || !right)
        return left.has_value() == right.has_value();
    return std::memcmp(&*left, &*right, sizeof(double)) == 0;
}

QString shown(std::optional<double> value)
{
    return value ? QString::number(*value, 'g', 17) : u"overflow"_s;
}

void readAnyText(QStringView text)
{
    std::optional<double> value;
    try {
        value = Val(text);
    } catch (const RuntimeError &error) {
        if (error.kind() != ErrorKind::Overflow)
            fail("Val raised something else than Overflow", text.toString());
    }
    const std::optional<double> expected = oracle::read(text);
    if (!same(value, expected))
        fail("Val disagrees with the C library",
            text.left(200).toString() + u"\n"_s + shown(value) + u" instead of "_s
                + shown(expected));
}

void writeAnyNumber(double number)
{
    if (!std::isfinite(number))
        return;
    const QString number17 = QString::number(number, 'g', 17);

    const QString text = NumText(number, QLocale::c());
    if (text != oracle::written(number))
        fail("NumText disagrees with printf", number17 + u" "_s + text);
    // The default locale is Bulgarian (LLVMFuzzerInitialize); only its separator shows.
    if (NumText(number) != QString(text).replace(u'.', u','))
        fail("the locale changed more than the separator", NumText(number));

    // Str: one leading character, a minus exactly for a negative number and a blank
    // otherwise, then a number read back as the value's 15-digit form, whatever the locale.
    const QString str = Str(number);
    if (str.isEmpty() || str[0] != (number < 0 ? u'-' : u' ') || str.contains(u','))
        fail("Str begins wrongly or follows the locale", number17 + u" ["_s + str + u"]"_s);
    if (number != 0 && Str(-number).mid(1) != str.mid(1))
        fail("Str writes a number and its negative differently", number17 + u" "_s + str);
    const oracle::Digits15 d = oracle::digits15(number);
    const std::optional<double> fifteen = oracle::read(QString::fromStdString(
        (d.negative ? "-" : "") + d.digits + 'e' + std::to_string(d.exponent - 14)));
    const std::optional<double> back = oracle::read(str);
    if (back.has_value() != fifteen.has_value() || (back && *back != *fifteen))
        fail("Str does not read back as the 15-digit value", number17 + u" "_s + str);

    // Past 1.797693134862315e308 the 15-digit form lies beyond the largest double; the
    // value itself is the nearest double there is.
    const double cents = std::isfinite(oracle::cents(number)) ? oracle::cents(number) : number;
    if (!same(RoundToCents(number), cents))
        fail("RoundToCents disagrees with rounding on the digits",
            number17 + u" "_s + shown(RoundToCents(number)) + u" instead of "_s + shown(cents));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    QLocale::setDefault(QLocale(QLocale::Bulgarian, QLocale::Bulgaria));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto *bytes = reinterpret_cast<const char *>(data);
    readAnyText(QString::fromUtf8(bytes, qsizetype(size)));
    // The same bytes as UTF-16, for blanks and characters UTF-8 seldom makes.
    std::u16string utf16(size / 2, u'\0');
    std::memcpy(utf16.data(), data, utf16.size() * sizeof(char16_t));
    readAnyText(utf16);

    if (size >= sizeof(double)) {
        double number = 0;
        std::memcpy(&number, data, sizeof number);
        writeAnyNumber(number);
    }
    return 0;
}
