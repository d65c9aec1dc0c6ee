#pragma once

#include <QString>

#include <cstdint>

namespace platform {

// The name of one control of a form: its array and its index in the array, written
// "Text2(1)" wherever a person reads it (error texts, the widgets' object names).
struct ControlName
{
    QString array;
    std::int16_t index = 0;

    QString toString() const;

    friend bool operator==(const ControlName &, const ControlName &) = default;
    friend bool operator<(const ControlName &a, const ControlName &b)
    {
        return a.array != b.array ? a.array < b.array : a.index < b.index;
    }
};

} // namespace platform
