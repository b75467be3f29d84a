// The .xls reader's dates: which cell formats make a number a moment, and in which
// date system.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "services/error.h"
#include "services/xls_books.h"

namespace zerova::testing {
namespace {

struct DateCase {
  std::vector<std::pair<int, std::string>> formats;  // FORMAT records the workbook defines
  int format_id;                                     // the cell's XF's format
  double serial;
  std::string text;
  bool is_1904 = false;
};

TEST(XlsDatesTest, FormatsDecideWhetherANumberIsAMoment) {
  const std::vector<DateCase> cases = {
      // Built-in ids.
      {{}, 14, 45351, "2024-02-29"},
      {{}, 22, 45351.25, "2024-02-29 06:00:00"},
      {{}, 21, 0.5, "12:00:00"},
      {{}, 21, 0.9999999, "00:00:00"},
      {{}, 47, 0.25, "06:00:00"},
      {{}, 15, 59, "1900-02-28"},
      {{}, 16, 60, "1900-02-29"},
      {{}, 17, 61, "1900-03-01"},
      {{}, 27, 1, "1900-01-01"},
      {{}, 36, 1, "1900-01-01"},
      {{}, 45, 1, "1900-01-01"},
      {{}, 50, 1, "1900-01-01"},
      {{}, 58, 1, "1900-01-01"},
      {{}, 0, 45000, "45000"},
      {{}, 13, 45000, "45000"},
      {{}, 23, 45000, "45000"},
      {{}, 26, 45000, "45000"},
      {{}, 37, 45000, "45000"},
      {{}, 44, 45000, "45000"},
      {{}, 48, 45000, "45000"},
      {{}, 49, 45000, "45000"},
      {{}, 59, 45000, "45000"},
      // The moment's limits.
      {{}, 14, -1, "-1"},
      {{}, 22, 2958465.99999, "9999-12-31 23:59:59"},
      {{}, 22, 2958465.999999, "2958465.999999"},
      {{}, 14, 2958466, "2958466"},
      {{}, 22, 1.9999999, "1900-01-02"},
      {{}, 200, 45000, "45000"},  // neither built in nor defined
      // Codes the workbook defines.
      {{{164, "dd/mm/yyyy"}}, 164, 45000, "2023-03-15"},
      {{{164, "YYYY"}}, 164, 45000, "2023-03-15"},
      {{{164, "[h]:mm"}}, 164, 1.5, "1900-01-01 12:00:00"},
      {{{164, "[ss]"}}, 164, 0.5, "12:00:00"},
      {{{164, "[$-F400]h:mm:ss\\ AM/PM"}}, 164, 0.5, "12:00:00"},
      {{{164, "0.00"}}, 164, 45000, "45000"},
      {{{164, "General"}}, 164, 45000, "45000"},
      {{{164, "_-* #,##0\\ _D_M_-"}}, 164, 45000, "45000"},
      {{{164, "\"Day \"0"}}, 164, 45000, "45000"},
      {{{164, "[Red]0.00"}}, 164, 45000, "45000"},
      {{{164, "[$-409]0"}}, 164, 45000, "45000"},
      {{{164, "\\d0"}}, 164, 45000, "45000"},
      {{{164, "*y0"}}, 164, 45000, "45000"},
      // A workbook's own code beats the built-in meaning of its id.
      {{{14, "0.00"}}, 14, 45000, "45000"},
      {{{3, "yyyy-mm-dd"}}, 3, 45000, "2023-03-15"},
      {{{50, "0.0"}}, 50, 45000, "45000"},
      {{{50, "0.0"}, {51, "d-m-y"}}, 51, 45000, "2023-03-15"},
      // The 1904 date system.
      {{}, 14, 0, "00:00:00", true},
      {{}, 14, 1, "1904-01-02", true},
      {{}, 22, 1.5, "1904-01-02 12:00:00", true},
      {{}, 14, 43889, "2024-02-29", true},
      {{}, 14, 2957003, "9999-12-31", true},
      {{}, 14, 2957004, "2957004", true},
  };
  for (const DateCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << "format " << c.format_id << " serial " << c.serial
                                      << (c.is_1904 ? " (1904)" : ""));
    const Fill globals = [&c](BiffBuilder& b) {
      if (c.is_1904) b.Datemode(true);
      for (const auto& [id, code] : c.formats) b.Format(static_cast<std::uint16_t>(id), code);
      b.Xf(0).Xf(static_cast<std::uint16_t>(c.format_id));
    };
    try {
      const auto sheet = Read(OneSheet(
          [&c](BiffBuilder& b) {
            b.Number(0, 0, c.serial, 1);
            b.Formula(1, 0, FormulaCache::Number(c.serial), 1);
            if (c.serial == static_cast<int>(c.serial)) {
              b.Rk(2, 0, BiffBuilder::RkInt(static_cast<int>(c.serial)), 1);
            }
          },
          globals));
      EXPECT_EQ(TextAt(*sheet, 0, 0), c.text) << "NUMBER";
      EXPECT_EQ(TextAt(*sheet, 1, 0), c.text) << "FORMULA";
      if (c.serial == static_cast<int>(c.serial)) {
        EXPECT_EQ(TextAt(*sheet, 2, 0), c.text) << "RK";
      }
    } catch (const Error& e) {
      ADD_FAILURE() << "refused: " << e.what();
    }
  }
}

TEST(XlsDatesTest, Biff5FormatsAndTheDateModeApplyToo) {
  const auto sheet = Read(OneSheet(
      [](BiffBuilder& b) {
        b.Number(0, 0, 1.25, 1).Number(0, 1, 1.25, 2).Number(0, 2, 1.25, 0);
        b.MulRk(1, 0, {{1, BiffBuilder::RkInt(1)}, {2, BiffBuilder::RkInt(1)}});
      },
      [](BiffBuilder& b) {
        b.Datemode(true).Format(164, "d.m.yyyy h:mm").Format(165, "0.0");
        b.Xf(0).Xf(164).Xf(165);
      },
      Biff::k5));
  EXPECT_EQ(TextAt(*sheet, 0, 0), "1904-01-02 06:00:00");
  EXPECT_EQ(TextAt(*sheet, 0, 1), "1.25");
  EXPECT_EQ(TextAt(*sheet, 0, 2), "1.25");
  EXPECT_EQ(TextAt(*sheet, 1, 0), "1904-01-02");
  EXPECT_EQ(TextAt(*sheet, 1, 1), "1");
}

// A BIFF5 format code is text in the workbook's code page too: in Shift JIS the
// bytes 0x83 0x5C are one character, not a backslash escaping the quote after it.
TEST(XlsDatesTest, Biff5FormatCodesAreDecodedBeforeTheyAreJudged) {
  const auto sheet =
      Read(OneSheet([](BiffBuilder& b) { b.Number(0, 0, 45000, 1).Number(0, 1, 45000, 2); },
                    [](BiffBuilder& b) {
                      b.Codepage(932).Format(164, "\x83\x5C\"d\"0").Format(165, "\x83\x5C\"\"d");
                      b.Xf(0).Xf(164).Xf(165);
                    },
                    Biff::k5));
  EXPECT_EQ(TextAt(*sheet, 0, 0), "45000");       // ソ"d"0: the d is quoted
  EXPECT_EQ(TextAt(*sheet, 0, 1), "2023-03-15");  // ソ""d: the d is not
}

}  // namespace
}  // namespace zerova::testing
