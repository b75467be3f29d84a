// ParseNumberText: the decimal numbers the XML formats write, and the texts
// from_chars alone would take but no format writes (infinities, NaN, a second
// sign, hexadecimal). Up to 15 digits are read without from_chars, to the same
// double it gives.
#include "formats/numbers/value_text.h"

#include <gtest/gtest.h>

#include <string>

namespace zerova {
namespace {

// The number as %.17g, or "no".
std::string Parsed(const char* text) {
  double number = 0;
  if (!ParseNumberText(text, &number)) return "no";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.17g", number);
  return buffer;
}

TEST(ValueTextTest, NumbersAndWhatIsNoNumber) {
  // clang-format off
  const std::pair<const char*, const char*> numbers[] = {
      {"1.5", "1.5"}, {"-2E-3", "-0.002"}, {"+7", "7"}, {"1E+20", "1e+20"}, {".5", "0.5"},
      {"0", "0"}, {"5.", "5"}, {"-.5", "-0.5"}, {"-0", "-0"}, {"0.1", "0.10000000000000001"},
      {"99999.99", "99999.990000000005"}, {"0.000001", "9.9999999999999995e-07"},
      {"123456789012345", "123456789012345"}, {"1234567890.123456", "1234567890.123456"},
      {"12345678901234567890", "1.2345678901234567e+19"},
  };
  // clang-format on
  for (const auto& [text, parsed] : numbers) EXPECT_EQ(Parsed(text), parsed) << text;
  for (const char* text : {"", "+", "++1", " 1", "1 ", "1x", "inf", "-Inf", "INFINITY", "nan",
                           "NaN", "-nan(1)", "0x1p3", "1e5n", "1.2.3", ".", "-"}) {
    EXPECT_EQ(Parsed(text), "no") << "\"" << text << "\"";
  }
}

}  // namespace
}  // namespace zerova
