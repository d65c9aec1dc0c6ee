// Any text through Val, any double through NumText, Str and two-decimal rounding.

#include "calc/conversions.h"
#include "calc/runtimeerror.h"

#include <QString>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace Qt::StringLiterals;

namespace {

void fail(const char *what, const QString &detail)
{
    std::fprintf(stderr, "%s: %s\n", what, qPrintable(detail));
    std::abort();
}

// Val gives a finite number or raises Overflow; nothing else escapes it.
void readAnyText(QStringView text)
{
    try {
        const double value = Val(text);
        if (!std::isfinite(value))
            fail("Val gave a non-finite number", text.toString());
        const double rounded = RoundToCents(value);
        if (RoundToCents(rounded) != rounded)
            fail("rounding is not idempotent", text.toString());
    } catch (const RuntimeError &error) {
        if (error.kind() != ErrorKind::Overflow)
            fail("Val raised something else than Overflow", text.toString());
    }
}

// The largest double shows as 1.79769313486232E+308, which is past every double: Val
// rightly reports that text as an overflow. Every other 15-digit form reads back.
const QString pastLargest = u"1.79769313486232E+308"_s;

void writeAnyNumber(double number)
{
    if (!std::isfinite(number))
        return;
    const QString text = NumText(number, QLocale::c());
    const QString shown = QString::number(number, 'g', 17);

    for (const QChar c : text) {
        if (!(c.isDigit() || c == u'.' || c == u'-' || c == u'E' || c == u'+'))
            fail("NumText wrote a character it should not", text);
    }
    const qsizetype exponentAt = text.indexOf(u'E');
    const QString mantissa = exponentAt < 0 ? text : text.left(exponentAt);
    if (mantissa.contains(u'.') && (mantissa.endsWith(u'0') || mantissa.endsWith(u'.')))
        fail("NumText kept a trailing zero", text);
    qsizetype significant = 0;
    bool leading = true;
    for (const QChar c : mantissa) {
        if (!c.isDigit())
            continue;
        leading = leading && c == u'0';
        significant += leading ? 0 : 1;
    }
    if (significant > 15)
        fail("NumText showed more than 15 significant digits", text);

    if (!text.endsWith(pastLargest)) {
        try {
            if (NumText(Val(text), QLocale::c()) != text)
                fail("NumText does not read back through Val", shown + u" "_s + text);
        } catch (const RuntimeError &) {
            fail("Val of NumText raised", shown + u" "_s + text);
        }
    } else {
        try {
            Val(text);
            fail("Val of a number past the largest double did not overflow", text);
        } catch (const RuntimeError &) { }
    }

    const QString str = Str(number);
    const QString expectedStr = number < 0 ? text : u" "_s + text;
    if (str != expectedStr)
        fail("Str and NumText differ by more than the blank", shown + u" "_s + str);

    const QString bulgarian = NumText(number, QLocale(QLocale::Bulgarian, QLocale::Bulgaria));
    if (bulgarian != QString(text).replace(u'.', u','))
        fail("the locale changed more than the separator", bulgarian);

    const double rounded = RoundToCents(number);
    if (!std::isfinite(rounded) || RoundToCents(rounded) != rounded)
        fail("rounding is not idempotent", shown);
}

} // namespace

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
