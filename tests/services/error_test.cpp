// Error messages: "FILE: what is wrong", always one line of valid UTF-8.
#include "services/error.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "support/document.h"

namespace zerova {
namespace {

TEST(PrintableText, EscapesWhatWouldBreakTheLineOrItsEncoding) {
  const struct {
    std::string_view text;
    const char* shown;
  } rows[] = {
      {"book.xls", "book.xls"},
      {"Grüße/東京 😀.xls", "Grüße/東京 😀.xls"},
      {"C:\\dir\\n.xls", "C:\\dir\\n.xls"},  // a backslash stays as it is
      {"two\nlines", "two\\nlines"},
      {"a\tb\rc", "a\\tb\\rc"},
      {std::string_view("nul\0bell\x07", 9), "nul\\x00bell\\x07"},
      {"esc\x1B[31m del\x7F", "esc\\x1B[31m del\\x7F"},
      {"latin1 caf\xE9.xls", "latin1 caf\\xE9.xls"},
      {"\xFF\xFE", "\\xFF\\xFE"},
      {"cut \xE6\x9D", "cut \\xE6\\x9D"},                     // truncated sequence
      {"\xC0\xAF", "\\xC0\\xAF"},                             // overlong '/'
      {"\xED\xA0\x80", "\\xED\\xA0\\x80"},                    // encoded surrogate
      {"next\xC2\x85line", "next\\xC2\\x85line"},             // U+0085, a C1 control
      {"para\xE2\x80\xA8graph", "para\\xE2\\x80\\xA8graph"},  // U+2028
  };
  for (const auto& row : rows) {
    const std::string shown = PrintableText(row.text);
    EXPECT_EQ(shown, row.shown);
    EXPECT_TRUE(testing::IsUtf8(shown)) << shown;
    EXPECT_EQ(PrintableText(shown), shown);
  }
}

TEST(Error, ComposesFileAndFaultIntoOneLine) {
  EXPECT_STREQ(Error("book.xls", "workbook is password-protected").what(),
               "book.xls: workbook is password-protected");
  EXPECT_STREQ(Error("", "no spreadsheet file was chosen").what(),
               "no spreadsheet file was chosen");
  const ReadError odd("bad\nname\xFF.xls", "sheet \"a\nb\" is a chart");
  EXPECT_STREQ(odd.what(), "bad\\nname\\xFF.xls: sheet \"a\\nb\" is a chart");
  EXPECT_EQ(odd.file(), "bad\nname\xFF.xls");  // the parts stay as they were given
  EXPECT_EQ(odd.detail(), "sheet \"a\nb\" is a chart");
  EXPECT_STREQ(PosixError("/w/x\ty.xml", "create the file", EACCES).what(),
               "/w/x\\ty.xml: could not create the file: Permission denied");
}

}  // namespace
}  // namespace zerova
