// What every format shares. Format detection: a file of no format is refused from
// its first bytes, before it is read whole; plain text is a table by its content or
// by its name (which reader each format's content picks is shown by the fixture
// inputs). Cells past Excel's 1,048,576 rows and 16,384 columns, in the formats
// that can hold them: dropped as Excel drops them, and the sheet says so, but only
// when something was there. And long work that reads no input, or reads it without
// reporting a position (key derivation, integrity checks, decryption, copies,
// decoding, big tables, sorting): each step asks whether to stop at least once per
// 64 KB of data or a few milliseconds of rounds; the count of questions over a step
// of known size shows it.
#include "formats/registry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "formats/containers/ole2_container.h"
#include "formats/containers/workbook_source.h"
#include "formats/crypto/digest.h"
#include "formats/crypto/password_trial.h"
#include "formats/csv/reader.h"
#include "formats/html/table_layout.h"
#include "formats/ooxml_crypto/encrypted_package.h"
#include "formats/sheet/sheet_store.h"
#include "formats/xls/record_decryption.h"
#include "services/error.h"
#include "support/biff_builder.h"
#include "support/document.h"
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
  const std::string dir =
      (std::filesystem::temp_directory_path() / ("zerova-service-" + std::to_string(std::rand())))
          .string();
  std::filesystem::create_directories(dir);
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
  const std::string comment = dir + "/comment.dat";  // markup, but no HTML's
  std::ofstream(comment) << "  <!-- a comment -->\n\t\n";
  const struct {
    std::string path, message;
    std::int64_t most_read;
  } cases[] = {
      {zeros, zeros + ": not a spreadsheet file", 17 * 1024},  // the first 16 KiB alone
      {late, late + ": not a spreadsheet file this program reads: plain text", kMiB},
      {xml, xml + ": not a spreadsheet file", kMiB},
      {comment, comment + ": not a spreadsheet file this program reads (", kMiB},
      {zip, zip + ": the file is damaged: its table of contents",
       3 * kMiB},  // a zip's directory is at its end
  };
  // The count comes from /proc/self/io, which Linux always has (Windows has
  // none: there the messages alone are checked).
  const bool counted = BytesReadSoFar() >= 0;
  for (const auto& c : cases) {
    const std::int64_t before = BytesReadSoFar();
    std::string message = "opened";
    try {
      NewSpreadsheetService()->Open({c.path, {}, nullptr}, nullptr);
    } catch (const ReadError& e) {
      message = e.what();
    }
    EXPECT_EQ(message.rfind(c.message, 0), 0u) << message;
    if (counted) {
      EXPECT_LT(BytesReadSoFar() - before, c.most_read) << c.path;
    }
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
      {"\xEF\xBB\xBF", "empty.csv", ""},  // "CSV UTF-8" of an empty sheet: its mark alone
  };
  for (const auto& row : rows) {
    EXPECT_EQ(Outcome(TextBytes(row.text), row.name), row.expected) << row.name;
  }
}

std::string Repeat(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

std::string OdsCell(const char* value, const char* repeat = nullptr) {
  return std::string("<table:table-cell") +
         (repeat ? std::string(" table:number-columns-repeated=\"") + repeat + "\"" : "") +
         (value ? std::string(" office:value-type=\"string\"><text:p>") + value +
                      "</text:p></table:table-cell>"
                : "/>");
}

std::string OdsRow(const std::string& cells, const char* repeat = nullptr) {
  return std::string("<table:table-row") +
         (repeat ? std::string(" table:number-rows-repeated=\"") + repeat + "\"" : "") + ">" +
         cells + "</table:table-row>";
}

// "rows", "columns", "rows and columns" or "" for what a sheet says it dropped,
// and the cell in A1, which every sheet here holds.
std::string Dropped(const std::vector<std::uint8_t>& bytes) {
  std::unique_ptr<Worksheet> sheet;
  try {
    sheet = ReadActiveSheet(bytes, "book");
  } catch (const Error& e) {
    return std::string("refused: ") + e.what();
  }
  EXPECT_EQ(sheet->Cell(1, 1).text, "a");
  const SheetClipping clipped = sheet->Clipped();
  if (clipped.rows && clipped.columns) return "rows and columns";
  return clipped.rows ? "rows" : clipped.columns ? "columns" : "";
}

TEST(SheetLimitsTest, WhatLiesPastTheSheetIsDroppedAndNotedWhenItHeldSomething) {
  // Two records each, as the sniff of delimited text wants.
  const std::string wide_csv = "a" + Repeat(",v", 16384) + "\nb,w\n";
  const std::string a = OdsCell("a");
  const struct {
    const char* what;
    std::vector<std::uint8_t> bytes;
    const char* dropped;
  } rows[] = {
      {"CSV: field 16,385", TextBytes(wide_csv), "columns"},
      {"CSV: field 16,385 empty", TextBytes("a" + Repeat(",v", 16383) + ",\nb,w\n"), ""},
      {"CSV: row 1,048,577", TextBytes("a,b\n" + Repeat(",\n", 1048575) + "x,\n"), "rows"},
      {"CSV: empty lines past row 1,048,576", TextBytes("a,b\n" + Repeat(",\n", 1048576)), ""},
      {"ODS: a value repeated past XFD", Zip(Ods(OdsRow(a + OdsCell("v", "16384")))), "columns"},
      {"ODS: a value after 16,383 empty cells",
       Zip(Ods(OdsRow(a + OdsCell(nullptr, "16383") + OdsCell("v")))), "columns"},
      {"ODS: empty cells to the edge and past it, as LibreOffice writes them",
       Zip(Ods(OdsRow(a + OdsCell(nullptr, "16384")) +
               OdsRow(OdsCell(nullptr, "16384"), "1048576"))),
       ""},
      {"ODS: a value in row 1,048,577",
       Zip(Ods(OdsRow(a) + OdsRow(OdsCell(nullptr), "1048575") + OdsRow(OdsCell("v")))), "rows"},
      {"ODS: a row of values repeated to the last row",
       Zip(Ods(OdsRow(a) + OdsRow(OdsCell("v"), "1048575"))), ""},
      {"ODS: a row of values repeated past the last row",
       Zip(Ods(OdsRow(a) + OdsRow(OdsCell("v"), "1048576"))), "rows"},
      {"XML 2003: a cell at column 16,385",
       Xml2003({"<Row><Cell><Data ss:Type=\"String\">a</Data></Cell>"
                "<Cell ss:Index=\"16385\"><Data ss:Type=\"String\">v</Data></Cell></Row>"}),
       "columns"},
      {"XML 2003: a row at 1,048,577 and a cell past XFD",
       Xml2003({"<Row><Cell><Data ss:Type=\"String\">a</Data></Cell>"
                "<Cell ss:Index=\"20000\"><Data ss:Type=\"Number\">1</Data></Cell></Row>"
                "<Row ss:Index=\"1048577\"><Cell><Data ss:Type=\"String\">v</Data></Cell></Row>"}),
       "rows and columns"},
      {"XML 2003: empty rows and cells past the edge",
       Xml2003({"<Row><Cell><Data ss:Type=\"String\">a</Data></Cell><Cell ss:Index=\"16385\"/>"
                "</Row><Row ss:Index=\"1048577\"><Cell><Data ss:Type=\"String\"></Data></Cell>"
                "</Row>"}),
       ""},
      {"HTML: cell 16,385 after spans",
       TextBytes("<table><tr><td>a</td>" + Repeat("<td colspan=\"1000\"></td>", 16) +
                 Repeat("<td></td>", 383) + "<td>v</td></tr></table>"),
       "columns"},
  };
  for (const auto& row : rows) EXPECT_EQ(Dropped(row.bytes), row.dropped) << row.what;
}

// Rows past the last one, as a table's rows count them.
TEST(SheetLimitsTest, AnHtmlCellBelowTheLastRowIsNoted) {
  for (const bool text : {false, true}) {
    TableLayout layout;
    for (int row = 1; row <= 1048577; ++row) {
      layout.StartRow();
      layout.StartCell("", "");
      layout.EndCell(row == 1 ? "a" : row == 1048577 && text ? "v" : "");
    }
    EXPECT_EQ(layout.Finish()->Clipped().rows, text);
  }
}

const std::string kData = ZEROVA_TEST_DATA;
constexpr std::size_t kMegabytes = 4;
constexpr std::uint64_t kSteps = kMegabytes * 16;  // of 64 KB

// Counts the questions whether to stop, and answers a stop at question
// `stop_at` (0: never).
class CountingStop final : public ReadProgress {
 public:
  explicit CountingStop(int stop_at = 0) : stop_at_(stop_at) {}
  void Reached(std::uint64_t, std::uint64_t) override {}
  void CheckStop() override {
    if (++checks == stop_at_) throw Cancelled("book", "stopped");
  }
  int checks = 0;

 private:
  int stop_at_;
};

// `package` grown by kMegabytes of bytes past what it holds; with `declared`,
// its size field says so too, so that all of it is decrypted.
void Grow(Bytes& package, bool declared) {
  package.resize(package.size() + (kMegabytes << 20), 0x5A);
  if (!declared) return;
  const std::uint64_t size = package.size() - 8;
  for (int i = 0; i < 8; ++i) package[i] = static_cast<std::uint8_t>(size >> (8 * i));
}

// The RC4 workbook's stream with kMegabytes of records added, which the
// decryption goes through too.
Bytes GrownXlsStream() {
  const Bytes file = test::ReadFileBytes(kData + "/encrypted-xls-rc4/input.xls");
  const WorkbookStream stream = ReadWorkbookStream(file, "book");
  Bytes bytes(stream.bytes().begin(), stream.bytes().end());
  const Bytes record = test::BiffBuilder().Record(0x0204, Bytes(8188, 0x41)).BuildBare();
  for (std::size_t i = 0; i < (kMegabytes << 20) / record.size(); ++i) {
    bytes.insert(bytes.end(), record.begin(), record.end());
  }
  return bytes;
}

// A bare BIFF8 workbook whose shared-string table holds 100,000 strings.
Bytes BigStringTable() {
  std::vector<test::SstString> strings;
  std::vector<test::SstSplit> splits;
  for (int i = 0; i < 100000; ++i) {
    const std::string digits = std::to_string(i);
    strings.push_back({u"s" + std::u16string(digits.begin(), digits.end())});
    if (i % 500 == 499) splits.push_back({static_cast<std::size_t>(i), 0});
  }
  test::BiffBuilder book;
  book.Bof(test::Biff::k8).Xf(0).Sst(strings, splits).Boundsheet("S").Eof();
  return book.Bof(test::Biff::k8, test::kWorksheetBof).Eof().BuildBare();
}

TEST(LongWorkStopTest, EachLongStepAsksWhetherToStopAsItGoes) {
  const struct {
    const char* step;
    int at_least;  // questions
    std::function<void(ReadProgress*)> run;
  } rows[] = {
      {"100,000 hash rounds, of the 10,000,000 a file may ask", 24,
       [](ReadProgress* p) {
         SecretBytes hash(64, 1);
         RehashWithCounter(HashAlgorithm::kSha512, hash, 100000, p);
       }},
      {"Agile: the integrity check over 4 MB", kSteps,
       [](ReadProgress* p) {
         test::EncryptedStreams s =
             test::EncryptedStreamsOf(kData + "/encrypted/agile-sha1-aes128.xlsx");
         Grow(s.package, false);
         test::GivenPasswords source({"variant"});
         try {
           DecryptPackageStreams(s.info, s.package, "book", &source, kMaxSpinCount, p);
         } catch (const ReadError&) {  // the grown package fails the check, once it is made
         }
       }},
      {"Standard: 4 MB decrypted", kSteps,
       [](ReadProgress* p) {
         test::EncryptedStreams s =
             test::EncryptedStreamsOf(kData + "/encrypted-xlsx-standard/input.xlsx");
         Grow(s.package, true);
         test::GivenPasswords source({"Standard AES"});
         DecryptPackageStreams(s.info, s.package, "book", &source, kMaxSpinCount, p);
       }},
      {".xls RC4: 4 MB of records decrypted", kSteps,
       [](ReadProgress* p) {
         Bytes stream = GrownXlsStream();
         test::GivenPasswords source({"pässwörd"});
         DecryptWorkbookStream(stream, "book", &source, p);
       }},
      {"a 4 MB stream copied out of an OLE2 file", kSteps,
       [](ReadProgress* p) {
         test::BiffBuilder book;
         book.Bof(test::Biff::k8).Record(0x0204, Bytes(kMegabytes << 20, 0)).Eof();
         const Bytes file = book.Build();
         Ole2Container(file, "book", p).Read("Workbook");
       }},
      {"100,000 shared strings", 24,
       [](ReadProgress* p) {
         const Bytes file = BigStringTable();
         OpenWorkbook(WorkbookSource::View(file, "book", nullptr, p));
       }},
      {"4 MB of UTF-16 text decoded", kSteps,
       [](ReadProgress* p) {
         std::string text = "\xFF\xFE";
         while (text.size() < (kMegabytes << 20)) text += std::string("a\0,\0b\0\n\0", 8);
         ReadDelimitedText(test::TextBytes(text), "book", p);
       }},
      {"640 columns sorted", 10,
       [](ReadProgress* p) {
         SheetStore sheet;
         for (int column = 1; column <= 640; ++column) {
           for (int row = 3; row >= 1; --row) sheet.PutNumber(row, column, row);
         }
         sheet.Seal(p);
       }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.step);
    CountingStop counting;
    row.run(&counting);
    EXPECT_GE(counting.checks, row.at_least);
    CountingStop stopping(1);
    EXPECT_THROW(row.run(&stopping), Cancelled);
  }
}

// The password source is asked only when the user has not asked to stop: a
// prompt on the terminal or in the window would otherwise come after the stop.
TEST(LongWorkStopTest, NoPasswordIsAskedForAfterAStop) {
  test::GivenPasswords source({"x"});
  CountingStop stop(1);
  EXPECT_THROW(TryPasswords(
                   &source, "book", [](ByteView) { return false; }, &stop),
               Cancelled);
  EXPECT_TRUE(source.asked.empty());
}

}  // namespace
}  // namespace zerova::test
