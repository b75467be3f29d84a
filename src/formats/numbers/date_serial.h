// Date serials from ISO 8601 text: how .xlsx t="d" cells and .ods date and time
// values become the serial the same moment has in a workbook's date system.
#ifndef ZEROVA_FORMATS_NUMBERS_DATE_SERIAL_H_
#define ZEROVA_FORMATS_NUMBERS_DATE_SERIAL_H_

#include <string_view>

#include "services/cell_value.h"

namespace zerova {

// Parses "YYYY-MM-DD", "YYYY-MM-DDThh:mm[:ss[.fff]]" or a time alone "hh:mm[:ss[.fff]]"
// (optionally led by "T"), each optionally followed by "Z" or an offset "+hh:mm",
// which is ignored: the serial stands for the wall-clock moment as written. The
// year may have more than four digits and a leading "-".
// A time alone is a serial below 1 (hours up to 24 allowed, as in "24:00:00").
// Stores the serial of that moment in `system` and returns true; false for any
// other text or an impossible date. In the 1900 system day 1 is 1900-01-01 and
// day 60 the fictional 1900-02-29, so 1900-02-28 is 59 and 1900-03-01 is 61;
// 1899-12-31 is day 0 and earlier moments are negative.
bool SerialFromIsoDateTime(std::string_view text, DateSystem system, double* serial);

// Parses an ISO 8601 duration "PnDTnHnMn.nS" (each part optional, a leading "-"
// allowed) into days: "PT36H" is 1.5. False for years, months or weeks, or any
// other text.
bool DaysFromIsoDuration(std::string_view text, double* days);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_NUMBERS_DATE_SERIAL_H_
