#pragma once

// The calculation: the two commands of the form, written against the controls they use
// (calc/priceform.h) and the conversions (calc/conversions.h). They know nothing of
// widgets; the form (form/) runs them from its button handler, the tests run them on a
// fake form too. Neither catches a RuntimeError: it leaves the command as raised.

class PriceForm;

// Reads the three figures and the carat selection and writes the six-line price report
// into Text2(0). Without a carat or with a product of the figures that is not positive it
// does nothing at all.
void Calculate(PriceForm &form);

// Empties the report and the three input boxes, then takes back the carat selection.
void ClearInputs(PriceForm &form);
