#pragma once

// What the calculate command must do with given figures and carat, for the fuzz targets and
// the monkey test, which cannot know their inputs in advance. Worked out without any of the
// program's code: a figure is matched by a regular expression and read by the C library,
// amounts are rounded to cents in whole numbers on the digits printf gives, and the carat
// table is written out here as a person reads it. The program and this agree only when both
// are right.

#include <QRegularExpression>
#include <QString>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include <locale.h>
#include <stdlib.h>

namespace oracle {

// strtod follows LC_NUMERIC, which a Qt application takes from the environment; the C
// library's own C locale reads the same figure everywhere, spelt the POSIX way or the
// Windows way.
inline double readC(const std::string &text)
{
#ifdef _WIN32
    static const _locale_t c = _create_locale(LC_ALL, "C");
    return _strtod_l(text.c_str(), nullptr, c);
#else
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return strtod_l(text.c_str(), nullptr, c);
#endif
}

// A typed figure as a number: blanks (space, tab, no-break spaces) count for nothing
// wherever they stand; then an optional sign, digits with at most one point, and an
// optional exponent. Nothing when the number is too large for a double.
inline std::optional<double> read(QStringView typed)
{
    using namespace Qt::StringLiterals;
    static const QRegularExpression number(
        uR"(^[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?)"_s, QRegularExpression::DontCaptureOption);
    // Any character outside ASCII but the blanks ends the number; half a surrogate pair
    // would stop the matching altogether.
    QString text;
    for (const QChar c : typed) {
        if (c != u' ' && c != u'\t' && c != u'\u00A0' && c != u'\u202F')
            text += c.unicode() < 0x80 ? c : QChar(u'#');
    }
    const QRegularExpressionMatch match = number.match(text);
    const double value = match.hasMatch() ? readC(match.captured().toStdString()) : 0.0;
    if (std::isinf(value))
        return std::nullopt;
    return value;
}

// The 15 significant digits printf gives, and the power of ten of the first: 2.675 is
// "267500000000000" and 0. Taken by position, so the locale's decimal point does not matter.
struct Digits15
{
    bool negative;
    std::string digits;
    int exponent;
};

inline Digits15 digits15(double value)
{
    std::array<char, 32> text {};
    std::snprintf(text.data(), text.size(), "%.14e", std::fabs(value));
    return { std::signbit(value), text[0] + std::string(&text[2], 14), std::atoi(&text[17]) };
}

// Two decimals, halfway away from zero, judged on the 15-digit form: 2.675 gives 2.68.
inline double cents(double value)
{
    const Digits15 d = digits15(value);
    const std::string sign = d.negative ? "-" : "";
    // How many of the 15 digits lie below the cent: none from 1e12 on.
    const int below = 12 - d.exponent;
    if (value == 0 || below <= 0)
        return readC(sign + d.digits + 'e' + std::to_string(d.exponent - 14));
    std::int64_t unit = 1;
    for (int i = 0; i < below && i < 16; ++i)
        unit *= 10;
    const std::int64_t mantissa = std::stoll(d.digits);
    const std::int64_t whole = mantissa / unit + (mantissa % unit * 2 >= unit ? 1 : 0);
    return whole == 0 ? 0.0 : readC(sign + std::to_string(whole) + "e-2");
}

// As a calculator shows a number: at most 15 significant digits without trailing zeros,
// fixed from 0.00001 to below 1e15, outside that with an E and at least two exponent
// digits; the point as separator.
inline QString written(double value)
{
    if (value == 0)
        return QStringLiteral("0");
    Digits15 d = digits15(value);
    d.digits.erase(d.digits.find_last_not_of('0') + 1);
    const int e = d.exponent;
    const int count = int(d.digits.size());
    std::string text = d.negative ? "-" : "";
    if (e < -5 || e >= 15) {
        text += d.digits.substr(0, 1) + (count > 1 ? '.' + d.digits.substr(1) : "")
            + (e < 0 ? "E-" : "E+") + (std::abs(e) < 10 ? "0" : "") + std::to_string(std::abs(e));
    } else if (e < 0) {
        text += "0." + std::string(-e - 1, '0') + d.digits;
    } else if (count <= e + 1) {
        text += d.digits + std::string(e + 1 - count, '0');
    } else {
        text += d.digits.substr(0, e + 1) + '.' + d.digits.substr(e + 1);
    }
    return QString::fromStdString(text);
}

struct Outcome
{
    bool raises = false;
    // Empty when the report must keep its old text.
    std::optional<QString> report {};
};

// carat is the position chosen in the list, -1 for none.
inline Outcome expectedOutcome(
    const QString &weight, const QString &price, const QString &rate, int carat)
{
    using namespace Qt::StringLiterals;
    struct Carat
    {
        QString carats;
        QString fineness;
        QString impurity;
        const char *share;
    };
    static const std::array<Carat, 9> table { {
        { u"24"_s, u"999 - злато 99.99%"_s, u" 0.01%"_s, "0.9999" },
        { u"22"_s, u"916 - злато 91.60%"_s, u" 8.40%"_s, "0.916" },
        { u"20"_s, u"833 - злато 83.30%"_s, u"16.70%"_s, "0.833" },
        { u"18"_s, u"750 - злато 75.00%"_s, u"25.00%"_s, "0.75" },
        { u"16"_s, u"625 - злато 62.50%"_s, u"37.50%"_s, "0.625" },
        { u"14"_s, u"585 - злато 58.50%"_s, u"41.50%"_s, "0.585" },
        { u"12"_s, u"499 - злато 49.90%"_s, u"50.10%"_s, "0.499" },
        { u"10"_s, u"417 - злато 41.70%"_s, u"58.30%"_s, "0.417" },
        { u"9"_s, u"375 - злато 37.50%"_s, u"62.50%"_s, "0.375" },
    } };
    constexpr double gramsPerOunce = 31.1035;

    const std::optional<double> ounces = read(weight);
    const std::optional<double> perOunce = read(price);
    const std::optional<double> lev = read(rate);
    if (!ounces || !perOunce || !lev)
        return { .raises = true };
    // A product too large raises, with a carat or without.
    const double gross = *ounces * *perOunce * *lev;
    if (std::isinf(*ounces * *perOunce) || std::isinf(gross))
        return { .raises = true };
    if (carat < 0 || gross <= 0)
        return {};
    if (std::isinf(*perOunce * *lev))
        return { .raises = true };

    const Carat &chosen = table.at(carat);
    return { .report = u"Цена за грам инвестиционно злато: "_s
            + written(cents(*perOunce * *lev / gramsPerOunce)) + u"[лв]\r\nКарати: "_s
            + chosen.carats + u"\r\nМярка: "_s + chosen.fineness + u"\r\nПримеси: "_s
            + chosen.impurity + u"\r\nОчаквана цена, съобразно борсовата и каратите:\r\n"_s
            + u"Цена на злато: "_s + written(*ounces) + u"*"_s + written(*perOunce) + u"*"_s
            + written(*lev) + u"*"_s + QString::fromLatin1(chosen.share) + u" = "_s
            + written(cents(gross * readC(chosen.share))) + u"[лв]\r\n"_s };
}

} // namespace oracle
