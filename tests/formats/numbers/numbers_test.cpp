// Numbers and dates as the formats store them. Which number formats make a number a
// date or time: format codes by their letters, and every built-in format id by the
// list ECMA-376 Part 1, 18.8.30 (numFmt) gives, with [MS-XLS] 2.4.126 for the ids
// .xls files use the same way. Date serials from ISO 8601 text, in both date
// systems (1900-03-01 after Excel's 1900-02-29; a time zone ignored). ParseNumberText:
// the decimal numbers the XML formats write, and the texts from_chars alone would
// take but no format writes (infinities, NaN, a second sign, hexadecimal); up to 15
// digits are read without from_chars, to the same double it gives.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "formats/numbers/date_serial.h"
#include "formats/numbers/number_format.h"
#include "formats/numbers/value_text.h"

namespace zerova {
namespace {

TEST(NumberFormat, JudgesFormatCodesByTheirDateLetters) {
  // Quoted text, locale tags, spacers, escapes and the fill character hide their
  // letters; elapsed hours count, in either case.
  for (const char* code : {"#,##0.00_);[Red](#,##0.00)", "\"day\" 0", "[$-409]0.00", "General",
                           "_-* #,##0\\ _D_M_-", "0.00*s", "[Red]0.00", "[hs]0"}) {
    EXPECT_FALSE(IsDateFormatCode(code)) << code;
  }
  for (const char* code :
       {"d/m/yy", "[$-F800]dddd\\,\\ mmmm\\ dd\\,\\ yyyy", "[h]:mm", "[ss]", "H"}) {
    EXPECT_TRUE(IsDateFormatCode(code)) << code;
  }
}

// The built-in formats a workbook may name without defining them. Each id below
// 164 is a date or time format exactly when the list says so; where the list
// gives an English code, that code is judged the same way by its letters.
TEST(NumberFormat, EveryBuiltInIdHasTheKindTheListGivesIt) {
  // ECMA-376 Part 1, 18.8.30: the codes of the locale-independent built-ins.
  // clang-format off
  const std::map<int, const char*> english = {
      {0, "General"}, {1, "0"}, {2, "0.00"}, {3, "#,##0"}, {4, "#,##0.00"}, {9, "0%"},
      {10, "0.00%"}, {11, "0.00E+00"}, {12, "# ?/?"}, {13, "# ?\?/??"}, {14, "mm-dd-yy"},
      {15, "d-mmm-yy"}, {16, "d-mmm"}, {17, "mmm-yy"}, {18, "h:mm AM/PM"}, {19, "h:mm:ss AM/PM"},
      {20, "h:mm"}, {21, "h:mm:ss"}, {22, "m/d/yy h:mm"}, {37, "#,##0 ;(#,##0)"},
      {38, "#,##0 ;[Red](#,##0)"}, {39, "#,##0.00;(#,##0.00)"}, {40, "#,##0.00;[Red](#,##0.00)"},
      {45, "mm:ss"}, {46, "[h]:mm:ss"}, {47, "mmss.0"}, {48, "##0.0E+0"}, {49, "@"},
  };
  // clang-format on

  // The East Asian date and time formats, whose codes depend on the locale:
  // 27-36 and 50-58 (ggge"年"m"月"d"日", yyyy"年"m"月", ...).
  const auto east_asian_date = [](int id) {
    return (id >= 27 && id <= 36) || (id >= 50 && id <= 58);
  };
  for (int id = 0; id < 164; ++id) {
    const auto code = english.find(id);
    const bool expected = east_asian_date(id) || (id >= 14 && id <= 22) || (id >= 45 && id <= 47);
    EXPECT_EQ(IsBuiltInDateFormat(id), expected) << "built-in format " << id;
    if (code != english.end()) {
      EXPECT_EQ(IsDateFormatCode(code->second), expected) << "code of format " << id;
    }
  }
}

// A format the workbook defines is judged by its code, whatever its id.
TEST(NumberFormat, AWorkbooksOwnFormatsOverrideTheBuiltInOnes) {
  DateFormats formats;
  formats.Define(14, "0.00");  // a built-in date id, redefined as a number
  formats.Define(164, "yyyy-mm-dd");
  formats.Define(165, "0.0");
  EXPECT_EQ(formats.OfCells({14, 15, 164, 165, 2, 58, 59}),
            (std::vector<bool>{false, true, true, false, false, true, false}));
}

TEST(DateSerial, IsoDatesAndTimesBecomeExcelsSerials) {
  // clang-format off
  const std::pair<const char*, double> in1900[] = {
      {"1900-01-01", 1}, {"1900-02-28", 59}, {"1900-03-01", 61}, {"1899-12-31", 0},
      {"2023-03-15", 45000}, {"2023-03-15T18:00:00", 45000.75}, {"2023-03-15 06:00", 45000.25},
      {"2023-03-15T06:00:00Z", 45000.25}, {"12:00", 0.5}, {"T24:00:00", 1},
      {"2023-03-15T06:00+01", 45000.25}, {"2023-03-15T06:00-0130", 45000.25},
      {"2023-03-15T06:00+01:30", 45000.25}, {"T12:00Z", 0.5},
  };
  // clang-format on
  for (const auto& [text, expected] : in1900) {
    double serial = -1;
    EXPECT_TRUE(SerialFromIsoDateTime(text, DateSystem::k1900, &serial)) << text;
    EXPECT_DOUBLE_EQ(serial, expected) << text;
  }
  double serial = -1;
  EXPECT_TRUE(SerialFromIsoDateTime("1904-01-02", DateSystem::k1904, &serial));
  EXPECT_DOUBLE_EQ(serial, 1);
  EXPECT_TRUE(SerialFromIsoDateTime("1904-01-01", DateSystem::k1904, &serial));
  EXPECT_DOUBLE_EQ(serial, 0);
  for (const char* text :
       {"20x3-01-01", "2023-1x-01", "2023-02-29", "2023-13-01", "2023-03-15T25:00",
        "2023-03-15T12:3x", "T1x:00", "2023-03-0x", "2023-03-15junk", "12:00junk", "T12:60", "",
        "T12:00+1", "T12:00+013", "T12:00+0:30", "T12:00+01300", "T12:00+01-30", "T12:00Zz"}) {
    EXPECT_FALSE(SerialFromIsoDateTime(text, DateSystem::k1900, &serial)) << text;
  }
}

TEST(DateSerial, IsoDurationsBecomeDays) {
  const struct {
    const char* text;
    bool parses;
    double days;
  } rows[] = {
      {"PT36H", true, 1.5},   {"P1DT12H", true, 1.5},
      {"-PT12H", true, -0.5}, {"PT0H30M0S", true, 1.0 / 48},
      {"P1Y", false, 0},      {"PT", false, 0},
      {"P1W", false, 0},      {"PTxH", false, 0},
      {"", false, 0},
  };
  for (const auto& row : rows) {
    double days = -1;
    EXPECT_EQ(DaysFromIsoDuration(row.text, &days), row.parses) << row.text;
    if (row.parses) {
      EXPECT_DOUBLE_EQ(days, row.days) << row.text;
    }
  }
}

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

TEST(ValueTextTest, CountsAreDigitsAloneThatFit) {
  std::uint64_t count = 0;
  EXPECT_TRUE(ParseCountText("18446744073709551615", &count));
  EXPECT_EQ(count, UINT64_MAX);
  EXPECT_TRUE(ParseCountText("0123", &count));
  EXPECT_EQ(count, 123u);
  for (const char* text : {"", "18446744073709551616", "1x", "+1", " 1", "-0"}) {
    EXPECT_FALSE(ParseCountText(text, &count)) << "\"" << text << "\"";
  }
}

}  // namespace
}  // namespace zerova
