// Values written as text in the XML formats (xsd:double and xsd:boolean, as
// SpreadsheetML, OpenDocument and XML Spreadsheet 2003 write them): the one
// parser the XML readers share, so a number or a truth value reads the same
// in each. Dates are date_serial.h's.
#ifndef ZEROVA_FORMATS_NUMBERS_VALUE_TEXT_H_
#define ZEROVA_FORMATS_NUMBERS_VALUE_TEXT_H_

#include <cstdint>
#include <string_view>

namespace zerova {

// Parses a decimal number, the whole of `text`: an optional sign ('+' or '-'),
// digits with an optional fraction, and an optional exponent ("1.5", "-2E-3",
// "+7"). No white space, no "INF" or "NaN", no hexadecimal. Stores it and
// returns true; false for anything else, the empty text included.
bool ParseNumberText(std::string_view text, double* number);

// Parses "true", "false", "1" or "0". Stores it and returns true; false for
// anything else.
bool ParseBooleanText(std::string_view text, bool* value);

// Parses a count written in decimal digits alone (no sign, no space), the whole
// of `text`, that fits `*count`. False for anything else.
bool ParseCountText(std::string_view text, std::uint64_t* count);

// Parses a count as ParseCountText does, but of any number of digits: a count
// above `most` is stored as `most`. False for anything but digits.
bool ParseClampedCount(std::string_view text, std::uint64_t most, std::uint64_t* count);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_NUMBERS_VALUE_TEXT_H_
