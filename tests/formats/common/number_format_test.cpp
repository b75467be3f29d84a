// Which number formats make a number a date or time.
#include "formats/common/number_format.h"

#include <gtest/gtest.h>

namespace zerova {
namespace {

TEST(NumberFormat, JudgesFormatCodesByTheirDateLetters) {
  const struct {
    const char* code;
    bool is_date;
  } rows[] = {
      {"GENERAL", false},
      {"#,##0.00_);[Red](#,##0.00)", false},
      {"0.00E+00", false},
      {"\"day\" 0", false},    // quoted text is not
      {"[$-409]0.00", false},  // locale tags are not
      {"*d0", false},          // fill character
      {"d/m/yy", true},
      {"DD.MM.YYYY", true},
      {"h:mm AM/PM", true},
      {"[mm]:ss", true},
      {"[ss]", true},
      {"[$-F800]dddd\\,\\ mmmm\\ dd\\,\\ yyyy", true},
      {"\"Date:\" yyyy", true},
      {"[Blue]mmm", true},
      {"0;\"unterminated", false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(IsDateFormatCode(row.code), row.is_date) << "for " << row.code;
  }
}

}  // namespace
}  // namespace zerova
