#include "calc/conversions.h"

#include "calc/runtimeerror.h"

#include <algorithm>
#include <array>
#include <cfenv>
#include <charconv>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <system_error>

using namespace Qt::StringLiterals;

namespace {

// A double needs at most 767 significant digits to be told apart from its neighbours'
// midpoints; the rest only matter as "something nonzero follows".
constexpr std::size_t MaxSignificantDigits = 780;

// Far beyond any double, yet small enough that the sums below never overflow an integer.
constexpr std::int64_t ExponentLimit = 100000;

// Qt's QChar::isDigit also takes Arabic-Indic and other digits; amounts are typed in ASCII.
bool isAsciiDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// People here group thousands with a space, and copies from documents bring no-break ones.
bool isBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\u00A0' || c == u'\u202F';
}

// The value's decimal form at 15 significant digits: digits[0].digits[1..14] x 10^exponent.
struct Decimal15
{
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

// std::to_chars ignores the C and Qt locales, so the digits never depend on the user's settings.
Decimal15 toDecimal15(double value)
{
    std::array<char, 64> buffer {};
    const auto result = std::to_chars(
        buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::scientific, 14);
    const std::string_view text(buffer.data(), result.ptr - buffer.data());

    Decimal15 decimal;
    std::size_t pos = 0;
    if (text[pos] == '-') {
        decimal.negative = true;
        ++pos;
    }
    for (; pos < text.size() && text[pos] != 'e'; ++pos) {
        if (text[pos] != '.')
            decimal.digits.push_back(text[pos]);
    }
    ++pos; // the 'e'
    const bool negativeExponent = text[pos] == '-';
    ++pos;
    for (; pos < text.size(); ++pos)
        decimal.exponent = decimal.exponent * 10 + (text[pos] - '0');
    if (negativeExponent)
        decimal.exponent = -decimal.exponent;
    return decimal;
}

double fromDecimalText(const std::string &text)
{
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

} // namespace

double Val(QStringView text)
{
    const qsizetype length = text.size();
    qsizetype pos = 0;
    const auto current = [&]() -> char16_t {
        while (pos < length && isBlank(text[pos].unicode()))
            ++pos;
        return pos < length ? text[pos].unicode() : u'\0';
    };

    char16_t c = current();
    bool negative = false;
    // One sign only: "--1" is not a number and reads as 0.
    if (c == u'+' || c == u'-') {
        negative = c == u'-';
        ++pos;
        c = current();
    }

    // value = digits x 10^scale; leading zeros are not kept, they only move the scale.
    std::string digits;
    std::int64_t scale = 0;
    bool anyDigit = false;
    bool pointSeen = false;
    bool droppedNonzero = false;
    // The point is the decimal separator in every locale, so "1,5" stops at the comma.
    for (;; c = current()) {
        if (isAsciiDigit(c)) {
            anyDigit = true;
            if (digits.empty() && c == u'0') {
                if (pointSeen)
                    --scale;
            } else if (digits.size() < MaxSignificantDigits) {
                digits.push_back(char(c));
                if (pointSeen)
                    --scale;
            } else {
                droppedNonzero = droppedNonzero || c != u'0';
                if (!pointSeen)
                    ++scale;
            }
        } else if (c == u'.' && !pointSeen) {
            pointSeen = true;
        } else {
            break;
        }
        ++pos;
    }
    // A lone sign or point is no number at all.
    if (!anyDigit)
        return 0;

    // A trailing sticky digit keeps the rounding of the cut digits correct.
    if (droppedNonzero) {
        digits.push_back('1');
        --scale;
    }

    std::int64_t exponent = 0;
    if (c == u'E' || c == u'e') {
        ++pos;
        c = current();
        bool negativeExponent = false;
        if (c == u'+' || c == u'-') {
            negativeExponent = c == u'-';
            ++pos;
            c = current();
        }
        // Saturate instead of overflowing: a thousand-digit exponent is just "very large".
        // An exponent without digits ("1e", "1e+") leaves exponent at 0, so it is ignored.
        for (; isAsciiDigit(c); c = current()) {
            if (exponent < ExponentLimit)
                exponent = exponent * 10 + (c - u'0');
            ++pos;
        }
        if (negativeExponent)
            exponent = -exponent;
    }

    // Zero stays zero whatever the exponent, and "-0" keeps its sign.
    if (digits.empty())
        return negative ? -0.0 : 0.0;

    const std::int64_t total = std::clamp(scale + exponent, -ExponentLimit, ExponentLimit);
    std::string compact;
    compact.reserve(digits.size() + 16);
    if (negative)
        compact.push_back('-');
    compact += digits;
    compact.push_back('e');
    compact += std::to_string(total);

    double value = 0;
    const auto result = std::from_chars(compact.data(), compact.data() + compact.size(), value);
    // The leading digit's power of ten tells an overflow from an underflow.
    const std::int64_t magnitude = std::int64_t(digits.size()) + total;
    if (result.ec == std::errc::result_out_of_range) {
        if (magnitude > 0)
            throw RuntimeError(ErrorKind::Overflow);
        // Too small to hold: zero, keeping the sign as the hardware would.
        return negative ? -0.0 : 0.0;
    }
    if (!std::isfinite(value))
        throw RuntimeError(ErrorKind::Overflow);
    return value;
}

QString Str(double number)
{
    // -0 is not negative, so it gets the blank like any other zero.
    return (number < 0 ? QString() : u" "_s) + NumText(number, QLocale::c());
}

QString NumText(double number, const QLocale &locale)
{
    // The calculation raises Overflow before an infinity can reach a report; should one come
    // anyway, it shows as the library writes it rather than as a made-up number.
    if (!std::isfinite(number)) {
        std::array<char, 16> buffer {};
        const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), number);
        return QString::fromLatin1(buffer.data(), result.ptr - buffer.data());
    }
    // Negative zero shows as "0": nobody owes minus nothing.
    if (number == 0)
        return u"0"_s;

    Decimal15 decimal = toDecimal15(number);
    while (decimal.digits.size() > 1 && decimal.digits.back() == '0')
        decimal.digits.pop_back();
    const QString digits = QString::fromLatin1(decimal.digits);
    const qsizetype count = digits.size();
    const int exponent = decimal.exponent;
    // Only the separator is taken from the locale: its own minus sign and grouping would
    // make the same amount read differently on different machines.
    const QString point = locale.decimalPoint();

    QString text;
    if (decimal.negative)
        text += u'-';
    // Fixed notation while it stays readable, as a calculator shows it.
    if (exponent >= -5 && exponent < 15) {
        if (exponent < 0) {
            text += u"0"_s + point + QString(-exponent - 1, u'0') + digits;
        } else if (count <= exponent + 1) {
            text += digits + QString(exponent + 1 - count, u'0');
        } else {
            text += digits.left(exponent + 1) + point + digits.mid(exponent + 1);
        }
        return text;
    }

    text += digits.left(1);
    if (count > 1)
        text += point + digits.mid(1);
    text += exponent < 0 ? u"E-"_s : u"E+"_s;
    // At least two exponent digits, as in 1E+15 and 2.5E-07.
    text += u"%1"_s.arg(std::abs(exponent), 2, 10, QLatin1Char('0'));
    return text;
}

double RoundToCents(double value)
{
    if (!std::isfinite(value) || value == 0)
        return value;

    const Decimal15 decimal = toDecimal15(value);
    // Digits kept: those worth at least a cent.
    const int keep = decimal.exponent + 3;
    const std::string sign = decimal.negative ? "-" : "";
    // From 1e13 on, 15 digits leave no cents to round: the 15-digit value is the answer,
    // except next to the largest double, where it lies beyond any double and the value
    // itself is the nearest there is.
    if (keep >= int(decimal.digits.size())) {
        const double fifteen
            = fromDecimalText(sign + decimal.digits + 'e' + std::to_string(decimal.exponent - 14));
        return std::isfinite(fifteen) && fifteen != 0 ? fifteen : value;
    }

    std::string cents = keep > 0 ? decimal.digits.substr(0, keep) : std::string();
    // Halfway rounds away from zero, judged on the 15 digits, not on the binary value.
    const bool roundUp = keep >= 0 && decimal.digits[keep] >= '5';
    if (roundUp) {
        int i = int(cents.size()) - 1;
        for (; i >= 0 && cents[i] == '9'; --i)
            cents[i] = '0';
        if (i >= 0)
            ++cents[i];
        else
            cents.insert(cents.begin(), '1');
    }
    // A negative amount under half a cent becomes plain 0, not -0, so it shows as " 0".
    if (cents.find_first_not_of('0') == std::string::npos)
        return 0;
    return fromDecimalText(sign + cents + "e-2");
}

QString Left(const QString &text, qsizetype count)
{
    return text.left(count);
}

QString Right(const QString &text, qsizetype count)
{
    return text.right(count);
}

double Multiply(double left, double right)
{
    const double product = left * right;
    // An infinity that came in is passed on; only a new one is an overflow.
    if (std::isinf(product) && std::isfinite(left) && std::isfinite(right))
        throw RuntimeError(ErrorKind::Overflow);
    return product;
}

double Divide(double dividend, double divisor)
{
    // Checked before dividing: 0 / 0 is also a division by zero, not NaN.
    if (divisor == 0)
        throw RuntimeError(ErrorKind::DivisionByZero);
    const double quotient = dividend / divisor;
    if (std::isinf(quotient) && std::isfinite(dividend) && std::isfinite(divisor))
        throw RuntimeError(ErrorKind::Overflow);
    return quotient;
}

namespace {

// The operands and result are volatile so that the compiler can neither fold the operation
// at compile time nor move it outside the window between clearing and testing the flags.
template <typename Operation> double checkedByStatus(double left, double right, Operation operation)
{
    std::feclearexcept(FE_ALL_EXCEPT);
    volatile double first = left;
    volatile double second = right;
    volatile double result = operation(first, second);
    if (std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW))
        throw RuntimeError(ErrorKind::FloatingPoint);
    return result;
}

} // namespace

double SubtractChecked(double minuend, double subtrahend)
{
    return checkedByStatus(minuend, subtrahend, std::minus<>());
}

double DivideChecked(double dividend, double divisor)
{
    return checkedByStatus(dividend, divisor, std::divides<>());
}

std::int16_t NextCount(std::int16_t counter)
{
    if (counter == std::numeric_limits<std::int16_t>::max())
        throw RuntimeError(ErrorKind::Overflow);
    return std::int16_t(counter + 1);
}
