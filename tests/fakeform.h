#pragma once

#include "calc/priceform.h"
#include "calc/runtimeerror.h"

#include <QStringList>

#include <array>
#include <optional>

// A form of plain values with the window's two lists, for driving the calculation
// without widgets.

class FakeTextBox final : public TextBox
{
public:
    QString Text() const override { return text; }
    void setText(const QString &value) override { text = value; }
    QString text;
};

class FakeListBox final : public ListBox
{
public:
    explicit FakeListBox(QStringList entries) : entries(std::move(entries)) { }
    int ListIndex() const override { return index; }
    void setListIndex(int position) override { index = position; }
    QString List(int position) const override
    {
        if (failingEntry && *failingEntry == position)
            throw RuntimeError(ErrorKind::InvalidPropertyArrayIndex);
        return entries.at(position);
    }
    QStringList entries;
    int index = -1;
    std::optional<int> failingEntry;
};

// The form as the two commands see it, with the window's lists.
class FakeForm final : public PriceForm
{
public:
    TextBox &Text2(std::int16_t index) override { return text2.at(index); }
    ListBox &List1(std::int16_t index) override { return index == 0 ? carats : fineness; }

    std::array<FakeTextBox, 4> text2;
    FakeListBox carats { { "24", "22", "20", "18", "16", "14", "12", "10", "9" } };
    FakeListBox fineness { { "9999", "9160", "8330", "7500", "6250", "5850", "4990", "4170",
        "3750" } };
};
