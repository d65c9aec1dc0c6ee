#include "calc/procedures.h"

#include "calc/priceform.h"
#include "calc/conversions.h"

using namespace Qt::StringLiterals;

namespace {

constexpr double GRAMS_PER_TROY_OUNCE = 31.1035;
// Fineness is stored as parts per ten thousand: "9160" is 91.60 %.
constexpr double FINENESS_SCALE = 10000.0;

const QString lineEnd = u"\r\n"_s;

// Every piece is added to what the box holds at that moment, so a run that stops half
// way leaves exactly the lines written so far.
void append(TextBox &report, const QString &piece)
{
    report.setText(report.Text() + piece);
}

} // namespace

void Calculate(PriceForm &form)
{
    const double ounces = Val(form.Text2(1).Text());
    const double pricePerOunce = Val(form.Text2(2).Text());
    const double dollarRate = Val(form.Text2(3).Text());
    // Formed before any check, so a product too large is reported even without a carat.
    const double grossValue = Multiply(Multiply(ounces, pricePerOunce), dollarRate);

    if (form.List1(0).ListIndex() == -1)
        return;
    // Only the sign of the product counts: two negative figures make a report.
    if (grossValue <= 0)
        return;

    const double gramPrice
        = RoundToCents(Divide(Multiply(pricePerOunce, dollarRate), GRAMS_PER_TROY_OUNCE));
    TextBox &report = form.Text2(0);
    report.setText(
        u"Цена за грам инвестиционно злато: "_s + NumText(gramPrice) + u"[лв]"_s + lineEnd);

    const int caratIndex = form.List1(0).ListIndex();
    // The hidden fineness list follows the carat list position for position. Selecting from
    // code is a click, as the form's event model has it: the list's click handler runs.
    form.List1(1).setListIndex(form.List1(0).ListIndex());
    append(report, u"Карати: "_s + form.List1(0).List(caratIndex) + lineEnd);

    const QString finenessText = form.List1(1).List(caratIndex);
    append(report,
        u"Мярка: "_s + Left(finenessText, 3) + u" - злато "_s + Left(finenessText, 2) + u"."_s
            + Right(finenessText, 2) + u"%"_s + lineEnd);

    append(report, u"Примеси: "_s);
    const double impurity = SubtractChecked(FINENESS_SCALE, Val(finenessText));
    // Str's last four characters read as a two-decimal percentage with a blank for the
    // missing thousands digit. Below 100 parts they would turn 1 part (24 carats) into
    // "1%"; those are written out as "0.01%", with the same two blanks.
    const QString impurityDigits = impurity < 100
        ? u" 0"_s + QString::number(int(impurity)).rightJustified(2, u'0')
        : Right(Str(impurity), 4);
    append(report, Left(impurityDigits, 2) + u"."_s);
    append(report, Right(impurityDigits, 2) + u"%"_s + lineEnd);

    const double fineness = DivideChecked(Val(form.List1(1).List(caratIndex)), FINENESS_SCALE);
    append(report, u"Очаквана цена, съобразно борсовата и каратите:"_s + lineEnd);
    append(report, u"Цена на злато: "_s);
    // The figures are echoed as they were read, not as typed: "1.50" shows as 1.5.
    append(report, NumText(ounces) + u"*"_s);
    append(report, NumText(pricePerOunce) + u"*"_s);
    append(report, NumText(dollarRate) + u"*"_s);
    const double alloyPrice = RoundToCents(Multiply(grossValue, fineness));
    append(report, NumText(fineness) + u" = "_s + NumText(alloyPrice) + u"[лв]"_s + lineEnd);
}

void ClearInputs(PriceForm &form)
{
    for (std::int16_t counter = 0; counter <= 3; counter = NextCount(counter))
        form.Text2(counter).setText(QString());
    form.List1(0).setListIndex(-1);
}
