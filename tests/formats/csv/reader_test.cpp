// The delimited-text reader and its sniffer: encodings, quoting, limits, what is
// not taken for delimited text, and the delimiter chosen where candidates compete.
#include "formats/csv/reader.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "formats/csv/delimited_text.h"
#include "support/office_book.h"

namespace zerova::test {
namespace {

TEST(CsvReaderTest, FieldsEncodingsAndLimits) {
  std::string many_rows, rows_seen;  // one row past the grid
  for (int i = 1; i <= 1048577; ++i) many_rows += "a,b\n";
  for (int row : {1, 2, 3, 4, 5, 6, 1048576}) {
    rows_seen += "|A" + std::to_string(row) + "=a|B" + std::to_string(row) + "=b";
  }
  Check({
      {"a quote left open runs to the end", TextBytes("a,,,,b\nc,,,,d\n,,,,\"open to the end"),
       "A1=a|E1=b|A2=c|E2=d|E3=open to the end"},
      {"CR, LF and CR LF end records; a final line break starts none",
       TextBytes("a,b\rc,d\ne,f\r\n\r\ng,h\n"), "A1=a|B1=b|A2=c|B2=d|A3=e|B3=f|A5=g|B5=h"},
      {"UTF-16 big-endian",
       {0xFE, 0xFF, 0, 'a', 0, ',', 0, 'b', 0, '\n', 0, ',', 0, '\n'},
       "A1=a|B1=b"},
      {"rows past the last are dropped", TextBytes(many_rows), rows_seen.substr(1)},
  });
}

TEST(CsvReaderTest, OnlyDelimitedTextLooksLikeIt) {
  std::mt19937 random(8);
  std::string noise(4096, '\0');
  for (char& c : noise) c = static_cast<char>(random() & 0xFF);
  // Fewer than one control character in 64 is text: one in 65 bytes is, one in 64 is not.
  std::string records;
  for (int i = 0; i < 15; ++i) records += i == 7 ? "\x01,2\n" : "1,2\n";
  const std::pair<std::string, bool> cases[] = {
      {"ab,c\n" + records, true},
      {"a,b\n" + records, false},
      {"a;b;c\n1;2;3\n4;5;6\n7;8\n", true},
      {"a,b\n1,2\n3,4\n5,6,7\n", true},  // three records in four agree
      {"<table><tr><td>a,b</td></tr></table>\n", false},
      {std::string("a,b\n1,\0\n", 8), false},
      {noise, false},
  };
  for (const auto& [text, looks] : cases) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(text.data());
    EXPECT_EQ(LooksLikeDelimitedText({data, text.size()}), looks) << text.substr(0, 40);
  }
}

TEST(DelimitedTextTest, ChoosesTheMostConsistentDelimiter) {
  struct Row {
    const char* sample;
    bool cut;
    char delimiter;
  };
  const Row rows[] = {
      {"a;b\n1,5;2,5\n3,5;4\n", false, ';'},   // decimal commas vary, semicolons do not
      {"a\tb, c\n1\t2, 3\n", false, '\t'},     // a tie: TAB first
      {"a;b,c\n1;2,3\n", false, ';'},          // a tie: semicolon before comma
      {"\"x,y\";z\n\"1,2\";3\n", false, ';'},  // delimiters in quotes do not count
      {"a,b\n1,2\n3,4,5,6,7", true, ','},      // the cut last record is not judged
      {"a,b\n1,2\n3,4,5,6,7", false, '\0'},    // ... unless the text ends there
      {"a,b\n", false, '\0'},                  // one record: nothing to compare
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ChooseDelimiter(row.sample, row.cut), row.delimiter) << row.sample;
  }
}

}  // namespace
}  // namespace zerova::test
