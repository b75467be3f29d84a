// Texts the services read and write: A1 references (the grid's edges, "$"
// markers, either case, and the texts that are no reference), messages, one
// line of valid UTF-8 whatever bytes the names in them hold, and a password's
// text, zeroed before it is let go.
#include <gtest/gtest.h>

#include <string>

#include "services/cell_address.h"
#include "services/error.h"
#include "services/secret.h"
#include "support/document.h"

namespace zerova {
namespace {

TEST(CellAddressTest, ReferencesAndWhatIsNone) {
  const struct {
    const char* text;
    const char* parsed;  // "row,column", or "no"
  } rows[] = {
      {"A1", "1,1"},       {"$b$12", "12,2"}, {"xfd1048576", "1048576,16384"},
      {"AB7", "7,28"},     {"A$3", "3,1"},    {"XFE1", "no"},
      {"A1048577", "no"},  {"A0", "no"},      {"A01", "no"},
      {"AAAA1", "no"},     {"1A", "no"},      {"A", "no"},
      {"", "no"},          {"$$A1", "no"},    {"A1x", "no"},
      {"A12345678", "no"}, {"@1", "no"},      {"[1", "no"},
      {"Ä1", "no"},        {"A-1", "no"},     {"A 1", "no"},
  };
  for (const auto& row : rows) {
    std::int64_t r = 0, c = 0;
    const std::string parsed =
        ParseCellReference(row.text, &r, &c) ? std::to_string(r) + "," + std::to_string(c) : "no";
    EXPECT_EQ(parsed, row.parsed) << "\"" << row.text << "\"";
  }
}

TEST(PrintableText, EscapesWhatWouldBreakTheLineOrItsEncoding) {
  const struct {
    std::string_view text;
    const char* shown;
  } rows[] = {
      {"Grüße/東京 😀.xls", "Grüße/東京 😀.xls"},
      {"C:\\n.xls", "C:\\n.xls"},  // a backslash stays as it is
      {std::string_view("a\nb\tc\rd\0e\x1B[31m\x7F", 15), "a\\nb\\tc\\rd\\x00e\\x1B[31m\\x7F"},
      {"caf\xE9 \xFF cut \xE6\x9D", "caf\\xE9 \\xFF cut \\xE6\\x9D"},  // Latin-1, truncated
      {"\xC0\xAF\xED\xA0\x80", "\\xC0\\xAF\\xED\\xA0\\x80"},           // overlong, surrogate
      {"\xC2\x80\xC2\x9F|\xE2\x80\xA8\xC2\xA0",
       "\\xC2\\x80\\xC2\\x9F|\\xE2\\x80\\xA8\xC2\xA0"},  // C1, U+2028
  };
  for (const auto& row : rows) {
    const std::string shown = PrintableText(row.text);
    EXPECT_EQ(shown, row.shown);
    EXPECT_TRUE(test::IsUtf8(shown)) << shown;
    EXPECT_EQ(PrintableText(shown), shown);
  }
  const ReadError odd("bad\nname\xFF.xls", "sheet \"a\nb\" is a chart");
  EXPECT_STREQ(odd.what(), "bad\\nname\\xFF.xls: sheet \"a\\nb\" is a chart");
  EXPECT_EQ(odd.file(), "bad\nname\xFF.xls");  // the parts stay as they were given
}

// The whole buffer, to its capacity, not only the text it holds now.
TEST(SecretTest, APasswordsStringIsZeroedToItsCapacity) {
  std::string text(100, 'p');
  text.resize(10);
  const char* buffer = text.data();
  const std::size_t capacity = text.capacity();
  WipeString(text);
  EXPECT_TRUE(text.empty());
  ASSERT_EQ(text.data(), buffer);
  EXPECT_EQ(std::string(buffer, capacity), std::string(capacity, '\0'));
}

}  // namespace
}  // namespace zerova
