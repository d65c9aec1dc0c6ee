#pragma once

// The program's one form: its description (description.cpp, a table of all its controls)
// and its code (velmora.h): the handlers that run the calculate and clear commands of calc/
// and the one that answers a click in the carat list.

#include "platform/formdescription.h"

#include <QString>

#include <array>

// An alloy the program knows: its carats, as the carat list shows them, and its fineness,
// four digits in parts per ten thousand, as the hidden list beside it holds it.
struct CaratRow
{
    QString carat;
    QString fineness;
};

// The alloys in the order the lists show them. Both lists are filled from it, so a carat
// always stands at the same position as its fineness.
const std::array<CaratRow, 9> &caratTable();

const platform::FormDescription &velmoraDescription();
