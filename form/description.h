#pragma once

// The program's one form: its description (description.cpp, a table of all its controls)
// and its code (velmora.h), the three event handlers that run the calculation of calc/.

#include "platform/formdescription.h"

const platform::FormDescription &velmoraDescription();
