// The delimited-text reader and its sniffer: encodings, quoting, limits, and what
// is not taken for delimited text.
#include "formats/csv/reader.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "formats/common/cell_address.h"
#include "support/office_book.h"

namespace zerova::testing {
namespace {

std::vector<std::uint8_t> Utf16(const std::string& ascii, bool big_endian) {
  std::vector<std::uint8_t> bytes = {big_endian ? std::uint8_t{0xFE} : std::uint8_t{0xFF},
                                     big_endian ? std::uint8_t{0xFF} : std::uint8_t{0xFE}};
  for (char c : ascii) {
    bytes.push_back(big_endian ? 0 : static_cast<std::uint8_t>(c));
    bytes.push_back(big_endian ? static_cast<std::uint8_t>(c) : 0);
  }
  return bytes;
}

TEST(CsvReaderTest, FieldsEncodingsAndLimits) {
  std::string many_rows, rows_seen;  // one row past the grid
  for (int i = 1; i <= 1048577; ++i) many_rows += "a,b\n";
  for (int row : {1, 2, 3, 4, 5, 6, 1048576}) {
    rows_seen += "|A" + std::to_string(row) + "=a|B" + std::to_string(row) + "=b";
  }
  std::string many_fields = "x", fields_seen;  // two records, each one field past the grid
  for (int i = 0; i < 16384; ++i) many_fields += ",y";
  for (int row : {1, 2}) {
    fields_seen += (row == 1 ? "A1=x" : "|A2=x");
    for (int column = 2; column <= 16384; column = column == 28 ? 16384 : column + 1) {
      fields_seen += "|" + CellReferenceText(row, column) + "=y";
    }
  }
  Check({
      {"a quote left open runs to the end", TextBytes("a,,,,b\nc,,,,d\n,,,,\"open to the end"),
       "A1=a|E1=b|A2=c|E2=d|E3=open to the end"},
      {"CR, LF and CR LF end records; a final line break starts none",
       TextBytes("a,b\rc,d\ne,f\r\n\r\ng,h\n"), "A1=a|B1=b|A2=c|B2=d|A3=e|B3=f|A5=g|B5=h"},
      {"tabs over commas in the text", TextBytes("Smith, J\t1\nDoe, K\t2\n"),
       "A1=Smith, J|B1=1|A2=Doe, K|B2=2"},
      {"UTF-16 big-endian", Utf16("a,b\n,\n", true), "A1=a|B1=b"},
      {"rows past the last are dropped", TextBytes(many_rows), rows_seen.substr(1)},
      {"fields past the last are dropped", TextBytes(many_fields + "\n" + many_fields),
       fields_seen},
  });
}

TEST(CsvReaderTest, OnlyDelimitedTextLooksLikeIt) {
  std::mt19937 random(8);
  std::string noise(4096, '\0');
  for (char& c : noise) c = static_cast<char>(random() & 0xFF);
  std::string controls;
  for (int i = 0; i < 50; ++i) controls += "a,b\x01\x02\n";
  const std::pair<std::string, bool> cases[] = {
      {"one line, two fields", false},
      {"a;b;c\n1;2;3\n4;5;6\n7;8\n", true},
      {"a,b\n1,2\n3,4\n5,6,7\n", true},     // three records in four agree
      {"a,b\n1,2,3\n4\n5,6,7,8\n", false},  // no count agrees
      {"just one column\nof text\n", false},
      {"", false},
      {"<table><tr><td>a,b</td></tr></table>\n", false},
      {"<?xml version=\"1.0\"?><a>1,2</a>", false},
      {std::string("a,b\n1,\0\n", 8), false},
      {controls, false},
      {noise, false},
  };
  for (const auto& [text, looks] : cases) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(text.data());
    EXPECT_EQ(LooksLikeDelimitedText({data, text.size()}), looks) << text.substr(0, 40);
  }
}

}  // namespace
}  // namespace zerova::testing
