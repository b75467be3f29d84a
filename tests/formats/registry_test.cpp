// Format detection: a file of no format is refused from its first bytes, before
// it is read whole; plain text is a table by its content or by its name. Which
// reader each format's content picks is shown by the fixture inputs.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "formats/registry.h"
#include "services/error.h"
#include "support/office_book.h"

namespace zerova::test {
namespace {

constexpr std::int64_t kMiB = 1 << 20;

// The bytes this process has read through read-like calls so far (rchar of
// /proc/self/io; reading it adds a hundred or so), -1 where it cannot be read.
std::int64_t BytesReadSoFar() {
  std::ifstream io("/proc/self/io");
  std::string key;
  std::int64_t value = 0;
  while (io >> key >> value) {
    if (key == "rchar:") return value;
  }
  return -1;
}

TEST(RegistryTest, AFileOfNoFormatIsRefusedFromItsFirstBytes) {
  char pattern[] = "/tmp/zerova-service-XXXXXX";
  const std::string dir = ::mkdtemp(pattern);
  const std::string zeros = dir + "/zeros.xls", xml = dir + "/catalog.csv";
  std::ofstream(zeros).close();
  std::filesystem::resize_file(zeros, 64 * kMiB);  // 64 MiB of zeros, sparse
  std::ofstream(xml)
      << "<?xml version=\"1.0\"?><catalog>a,b\n1,2\n</catalog>";  // XML of no spreadsheet kind,
                                                                  // though its lines look delimited
  // A table that begins one byte past the 16 KiB a format is told by.
  const std::string late = dir + "/late.dat";
  std::ofstream(late) << std::string(16 * 1024 - 1, 'x') << "\na,b\n1,2\n3,4\n5,6\n7,8\n";
  const std::string zip = dir + "/damaged.xlsx";
  std::ofstream(zip) << "PK\x03\x04" << std::string(2 * kMiB, 'z');
  const struct {
    std::string path, message;
    std::int64_t most_read;
  } cases[] = {
      {zeros, zeros + ": not a spreadsheet file", 17 * 1024},  // the first 16 KiB alone
      {late, late + ": not a spreadsheet file this program reads: plain text", kMiB},
      {xml, xml + ": not a spreadsheet file", kMiB},
      {zip, zip + ": the file is damaged: its table of contents",
       3 * kMiB},  // a zip's directory is at its end
  };
  // The count comes from /proc/self/io; without it this test could not fail.
  ASSERT_GE(BytesReadSoFar(), 0) << "/proc/self/io cannot be read";
  for (const auto& c : cases) {
    const std::int64_t before = BytesReadSoFar();
    std::string message = "opened";
    try {
      NewSpreadsheetService()->Open({c.path, {}, nullptr}, nullptr);
    } catch (const ReadError& e) {
      message = e.what();
    }
    EXPECT_EQ(message.rfind(c.message, 0), 0u) << message;
    EXPECT_LT(BytesReadSoFar() - before, c.most_read) << c.path;
  }
  std::filesystem::remove_all(dir);
}

// Plain text that no delimiter parts consistently (one column, one line, rows of
// different lengths) is a table only when its name ends in .csv, .tsv or .txt, in
// any case: TAB-separated for .tsv and .txt. Otherwise its refusal says so.
TEST(RegistryTest, PlainTextOfAnyShapeIsATableByItsName) {
  const std::string one_column = "Name\nAlice\nBob\n", one_line = "Name,Age\n",
                    ragged = "a,b,c\n1\n2,3\n", tabs = "a\tb,c\n1\n";
  const std::string refused =
      ": not a spreadsheet file this program reads: plain text, but not a table; give it a "
      "name ending in .csv, .tsv or .txt to read it as one";
  const struct {
    std::string text, name, expected;
  } rows[] = {
      {one_column, "people.csv", "A1=Name|A2=Alice|A3=Bob"},
      {one_column, "people.csv.bak", "refused: people.csv.bak" + refused},
      {one_line, "header.CSV", "A1=Name|B1=Age"},
      {one_line, "header", "refused: header" + refused},
      {ragged, "ragged.csv", "A1=a|B1=b|C1=c|A2=1|A3=2|B3=3"},
      {ragged, "ragged.xls", "refused: ragged.xls" + refused},
      {tabs, "tabs.Tsv", "A1=a|B1=b,c|A2=1"},
      {tabs, "tabs.txt", "A1=a|B1=b,c|A2=1"},
      {tabs, "tabs.csv", "A1=a\tb|B1=c|A2=1"},
      {"<?xml version=\"1.0\"?>\n<a/>\n", "markup.csv",
       "refused: markup.csv: " + NotASpreadsheet()},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(Outcome(TextBytes(row.text), row.name), row.expected) << row.name;
  }
}

}  // namespace
}  // namespace zerova::test
