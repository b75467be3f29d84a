// CellText: the text a cell's value becomes in the output document.
//
// - Text: as stored.
// - Number: C's "%.15G" in the C locale, whatever the user's locale; negative zero
//   is "0"; NaN and infinities are "#NUM!".
// - Date: the moment the serial stands for in its date system, rounded to the
//   nearest second as floor(serial * 86400 + 0.5): "HH:MM:SS" for a serial below
//   1, "YYYY-MM-DD" for a whole day, else "YYYY-MM-DD HH:MM:SS". A negative serial,
//   or a moment after 9999-12-31 23:59:59, is written as a number.
// - Boolean: "True" or "False". Error: its display text ("#DIV/0!", ...).
// - Empty: "".
//
// This is the one place a cell becomes text. The run appends the text straight
// into its line buffer; the string-returning forms serve callers that keep it.
#ifndef ZEROVA_CONVERSION_CELL_TEXT_H_
#define ZEROVA_CONVERSION_CELL_TEXT_H_

#include <string>

#include "services/cell_value.h"

namespace zerova {

// Appends the text of `cell` to `out`, unescaped. Takes a CellValue too (it views
// as a CellView).
void AppendCellText(const CellView& cell, std::string& out);

// The text of `cell` as a string of its own.
std::string CellText(const CellView& cell);

// The number rule alone ("%.15G", C locale), for `number`.
std::string NumberText(double number);

// The date rule alone, for `serial` in `system`.
std::string DateText(double serial, DateSystem system);

}  // namespace zerova

#endif  // ZEROVA_CONVERSION_CELL_TEXT_H_
