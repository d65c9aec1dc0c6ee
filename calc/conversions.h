#pragma once

#include <QLocale>
#include <QString>
#include <QStringView>

#include <cstdint>

// Number and text conversions of the calculation. They are the program's own, not Qt's
// defaults, so the report reads the same whatever Qt version formats numbers; only
// NumText looks at the regional settings, and only for its decimal separator.
// Failures raise RuntimeError (calc/runtimeerror.h).

// The number at the start of the text, read with the point as the only decimal separator.
// Empty text, or text that starts with no number, gives 0. Blanks (space, tab, no-break
// spaces) are skipped wherever they stand, so "1 300" is 1300. A sign, digits, one point
// and an exponent (E or e) are read; anything else ends the number, so "1,5" is 1.
// Raises Overflow when the number is too large for a double. Linear in the text's length.
double Val(QStringView text);

// A blank before a number that is not negative, a minus sign otherwise; the point as
// separator, no grouping, no decimal part for an integral value. Otherwise as NumText in
// the C locale, so " 840", "-1.5", " 0.3".
QString Str(double number);

// The number as a person reads it: no leading blank, no grouping, no trailing zeros,
// at most 15 significant digits (0.1 + 0.2 shows as 0.3), the zero before the separator
// of a number below 1 kept, and the decimal separator of the given locale.
QString NumText(double number, const QLocale &locale = QLocale());

// The value rounded to two digits after the decimal point. Halfway is judged on the
// value's 15-significant-digit form and rounds away from zero: 2.675 gives 2.68.
double RoundToCents(double value);

// The first or last count UTF-16 units; the whole text when it is shorter.
QString Left(const QString &text, qsizetype count);
QString Right(const QString &text, qsizetype count);

// Multiplication and division that raise Overflow when finite operands give an
// infinite result; division by zero raises DivisionByZero.
double Multiply(double left, double right);
double Divide(double dividend, double divisor);

// Subtraction and division checked through the processor's floating-point status:
// an invalid operation, a division by zero or an overflow raises FloatingPoint.
double SubtractChecked(double minuend, double subtrahend);
double DivideChecked(double dividend, double divisor);

// The step of a counted loop: raises Overflow past the largest 16-bit counter.
std::int16_t NextCount(std::int16_t counter);
