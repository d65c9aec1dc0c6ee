#pragma once

// What the calculate command must do with given figures and carat position, worked out
// apart from the procedure: for the fuzz target and the monkey test, which cannot know
// their inputs in advance.

#include "calc/conversions.h"
#include "calc/runtimeerror.h"

#include <QStringList>

#include <cmath>
#include <optional>

struct ExpectedOutcome
{
    bool raises = false;
    // Empty when the report must keep its old text.
    std::optional<QString> report {};
};

inline ExpectedOutcome expectedOutcome(
    const QString &weight, const QString &price, const QString &rate, int carat)
{
    using namespace Qt::StringLiterals;
    // The carat table as a person reads it, not as the procedure slices it.
    static const QStringList carats { u"24"_s, u"22"_s, u"20"_s, u"18"_s, u"16"_s, u"14"_s, u"12"_s,
        u"10"_s, u"9"_s };
    static const QStringList fineness { u"999 - злато 99.99%"_s, u"916 - злато 91.60%"_s,
        u"833 - злато 83.30%"_s, u"750 - злато 75.00%"_s, u"625 - злато 62.50%"_s,
        u"585 - злато 58.50%"_s, u"499 - злато 49.90%"_s, u"417 - злато 41.70%"_s,
        u"375 - злато 37.50%"_s };
    static const QStringList impurity { u" 0.01%"_s, u" 8.40%"_s, u"16.70%"_s, u"25.00%"_s,
        u"37.50%"_s, u"41.50%"_s, u"50.10%"_s, u"58.30%"_s, u"62.50%"_s };
    static const QStringList shares { u"0.9999"_s, u"0.916"_s, u"0.833"_s, u"0.75"_s, u"0.625"_s,
        u"0.585"_s, u"0.499"_s, u"0.417"_s, u"0.375"_s };
    static const double shareValues[]
        = { 0.9999, 0.916, 0.833, 0.75, 0.625, 0.585, 0.499, 0.417, 0.375 };

    double ounces = 0;
    double pricePerOunce = 0;
    double dollarRate = 0;
    try {
        ounces = Val(weight);
        pricePerOunce = Val(price);
        dollarRate = Val(rate);
    } catch (const RuntimeError &) {
        return { .raises = true };
    }
    const double gross = ounces * pricePerOunce * dollarRate;
    if (std::isinf(ounces * pricePerOunce) || std::isinf(gross))
        return { .raises = true };
    if (carat < 0 || gross <= 0)
        return {};
    if (std::isinf(pricePerOunce * dollarRate))
        return { .raises = true };

    const QString gramPrice = NumText(RoundToCents(pricePerOunce * dollarRate / 31.1035));
    const QString alloyPrice = NumText(RoundToCents(gross * shareValues[carat]));
    return { .report = u"Цена за грам инвестиционно злато: "_s + gramPrice + u"[лв]\r\n"_s
            + u"Карати: "_s + carats[carat] + u"\r\n"_s + u"Мярка: "_s + fineness[carat] + u"\r\n"_s
            + u"Примеси: "_s + impurity[carat] + u"\r\n"_s
            + u"Очаквана цена, съобразно борсовата и каратите:\r\n"_s + u"Цена на злато: "_s
            + NumText(ounces) + u"*"_s + NumText(pricePerOunce) + u"*"_s + NumText(dollarRate)
            + u"*"_s + shares[carat] + u" = "_s + alloyPrice + u"[лв]\r\n"_s };
}

// Six lines, each ending in CR LF, and no other line break anywhere.
inline bool isSixLineReport(const QString &report)
{
    using namespace Qt::StringLiterals;
    if (!report.endsWith(u"\r\n"_s))
        return false;
    const QStringList lines = report.chopped(2).split(u"\r\n"_s);
    if (lines.size() != 6)
        return false;
    for (const QString &line : lines) {
        if (line.contains(u'\r') || line.contains(u'\n'))
            return false;
    }
    return true;
}
