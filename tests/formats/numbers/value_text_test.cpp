// ParseNumberText: the decimal numbers the XML formats write, and the texts
// from_chars alone would take but no format writes (infinities, NaN, a second
// sign, hexadecimal).
#include "formats/numbers/value_text.h"

#include <gtest/gtest.h>

#include <string>

namespace zerova {
namespace {

TEST(ValueTextTest, NumbersAndWhatIsNoNumber) {
  struct Row {
    const char* text;
    const char* parsed;  // the number as %.17g, or "no"
  };
  const Row rows[] = {
      {"1.5", "1.5"},
      {"-2E-3", "-0.002"},
      {"+7", "7"},
      {"1E+20", "1e+20"},
      {".5", "0.5"},
      {"0", "0"},
      {"", "no"},
      {"+", "no"},
      {"++1", "no"},
      {" 1", "no"},
      {"1 ", "no"},
      {"1x", "no"},
      {"inf", "no"},
      {"-Inf", "no"},
      {"INFINITY", "no"},
      {"nan", "no"},
      {"NaN", "no"},
      {"-nan(1)", "no"},
      {"0x1p3", "no"},
      {"1e5n", "no"},
      {"12345678901234567890", "1.2345678901234567e+19"},
      // Up to 15 digits, read without from_chars, to the same double.
      {"5.", "5"},
      {"-.5", "-0.5"},
      {"-0", "-0"},
      {"0.1", "0.10000000000000001"},
      {"99999.99", "99999.990000000005"},
      {"0.000001", "9.9999999999999995e-07"},
      {"123456789012345", "123456789012345"},
      {"1234567890.123456", "1234567890.123456"},
      {"1.2.3", "no"},
      {".", "no"},
      {"-", "no"},
  };
  for (const Row& row : rows) {
    double number = 0;
    std::string parsed = "no";
    if (ParseNumberText(row.text, &number)) {
      char buffer[64];
      std::snprintf(buffer, sizeof buffer, "%.17g", number);
      parsed = buffer;
    }
    EXPECT_EQ(parsed, row.parsed) << "\"" << row.text << "\"";
  }
}

}  // namespace
}  // namespace zerova
