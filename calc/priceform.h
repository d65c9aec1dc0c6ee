#pragma once

#include <QString>

#include <cstdint>

// The controls that the calculate and clear procedures use, and nothing more. The real
// window implements them with widgets (platform/), the tests with plain values. Property
// names follow the program's vocabulary: a getter is named after the property, a setter
// is "set" and the property. Every access may raise a RuntimeError.

class TextBox
{
public:
    virtual ~TextBox() = default;
    virtual QString Text() const = 0;
    virtual void setText(const QString &text) = 0;
};

class ListBox
{
public:
    virtual ~ListBox() = default;
    // The selected entry's position, or -1 when nothing is selected.
    virtual int ListIndex() const = 0;
    virtual void setListIndex(int position) = 0;
    virtual QString List(int position) const = 0;
};

// The form as the procedures see it: two control arrays.
class PriceForm
{
public:
    virtual ~PriceForm() = default;
    virtual TextBox &Text2(std::int16_t index) = 0;
    virtual ListBox &List1(std::int16_t index) = 0;
};
