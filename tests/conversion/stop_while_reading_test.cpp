// A stop asked for while the workbook is read, in every format: the reader
// notices it within a step of 64 KB of input, and the run ends having written
// nothing. Each workbook is a few megabytes; those whose format can say so end
// in damage (a truncated record, malformed XML, a bad number) that a reader
// going on to the end would report instead of the stop.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "conversion/conversion_run.h"
#include "formats/registry.h"
#include "services/error.h"
#include "support/biff_builder.h"
#include "support/document.h"
#include "support/memory_file_system.h"
#include "support/office_book.h"
#include "support/xlsb_builder.h"
#include "support/zip_builder.h"

namespace zerova {
namespace {

using test::Bytes;

constexpr std::uint64_t kStep = 64 * 1024;
constexpr std::size_t kReportsBeforeStop = 3;

// Asks to stop once it has been shown `kReportsBeforeStop` positions of input read.
class StopAfterReports final : public RunHooks {
 public:
  void ShowInputRead(std::uint64_t done, std::uint64_t) override { reports.push_back(done); }
  bool StopRequested() override { return reports.size() >= kReportsBeforeStop; }
  std::vector<std::uint64_t> reports;
};

// Text that deflate cannot shrink much: eight hex digits that differ from row to row.
std::string Word(int i) {
  char text[16];
  std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(i) * 2654435761u);
  return text;
}

// A number of ten digits or so, as little alike from row to row.
std::string Number(int i) { return std::to_string(static_cast<unsigned>(i) * 2654435761u); }

constexpr int kRows = 120000;

Bytes Xls() {
  test::BiffBuilder book;
  book.Bof(test::Biff::k8).Xf(0).Boundsheet("S").Eof().Bof(test::Biff::k8, test::kWorksheetBof);
  for (int r = 0; r < kRows; ++r) book.Label(r, 0, Word(r));
  return book.Label(kRows, 0, "cut short").DropLast(4).Build();
}

Bytes Xlsx() {
  std::string rows;
  for (int r = 1; r <= kRows; ++r) {
    rows += "<row><c><v>" + Number(r) + "</v></c><c><v>" + Number(-r) + "</v></c></row>";
  }
  return test::Zip(test::Xlsx(rows + "<row><c><v>1", test::kOneSheet, nullptr));
}

Bytes Xlsb() {
  std::string data;
  for (int r = 0; r < kRows; ++r)
    data += test::xlsb::Row(r) + test::xlsb::Real(0, r * 2654435761.0 / 7) +
            test::xlsb::Real(1, r / 3.0);
  data += test::xlsb::Row(kRows) + test::xlsb::Real(0, 1).substr(0, 5);
  return test::Zip(test::xlsb::Parts(test::xlsb::OneSheet(data)));
}

std::string OdsRows() {
  std::string rows;
  for (int r = 0; r < kRows; ++r) {
    for (const int n : {r, -r}) {
      rows += "<table:table-row><table:table-cell office:value-type=\"float\" office:value=\"" +
              Number(n) + "\"/></table:table-row>";
    }
  }
  return rows +
         "<table:table-row><table:table-cell office:value-type=\"float\" office:value=\"x\"/>"
         "</table:table-row>";
}

Bytes Ods() { return test::Zip(test::Ods(OdsRows())); }

Bytes Fods() {
  return test::TextBytes(
      "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
      " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
      " office:mimetype=\"application/vnd.oasis.opendocument.spreadsheet\"><office:body>"
      "<office:spreadsheet><table:table table:name=\"One\">" +
      OdsRows() + "</table:table></office:spreadsheet></office:body></office:document>");
}

Bytes Xml2003() {
  std::string rows;
  for (int r = 0; r < kRows; ++r) {
    rows += "<Row><Cell><Data ss:Type=\"String\">" + Word(r) + "</Data></Cell></Row>";
  }
  return test::Xml2003({rows + "<Row><Cell><Data ss:Type=\"Number\">x</Data></Cell></Row>"});
}

Bytes Html() {
  std::string page = "<html><body><table>";
  for (int r = 0; r < kRows; ++r) page += "<tr><td>" + Word(r) + "</td></tr>";
  return test::TextBytes(page + "</table></body></html>");
}

Bytes Csv() {
  std::string text;
  for (int r = 0; r < kRows; ++r) text += Word(r) + "," + Word(r + 1) + "\n";
  return test::TextBytes(text);
}

TEST(StopWhileReadingTest, EveryReaderStopsWithinAStepAndNothingIsWritten) {
  const struct {
    const char* format;
    Bytes (*make)();
  } rows[] = {
      {".xls", Xls},   {".xlsx", Xlsx},       {".xlsb", Xlsb}, {".ods", Ods},
      {".fods", Fods}, {"XML 2003", Xml2003}, {"HTML", Html},  {"CSV", Csv},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.format);
    const SpreadsheetInput input = test::InMemory(row.make(), "book");
    ASSERT_GT(input.bytes.size(), 16 * kStep);
    const std::unique_ptr<SpreadsheetService> spreadsheets = NewSpreadsheetService();
    test::MemoryFileSystem fs;
    fs.SetFile("/work/xmlstructure.xml", test::kEarlier);
    StopAfterReports window;
    ConversionRequest request;
    request.source = input;
    EXPECT_EQ(test::RunFailure(*spreadsheets, fs, window, request),
              "book: the conversion was cancelled before anything was written");
    EXPECT_EQ(window.reports.size(), kReportsBeforeStop);
    EXPECT_LE(window.reports.empty() ? 0 : window.reports.back(), (kReportsBeforeStop + 1) * kStep);
    EXPECT_EQ(fs.Contents("/work/xmlstructure.xml"), test::kEarlier);
    EXPECT_EQ(std::count(fs.calls().begin(), fs.calls().end(), "LockFile /work/xmlstructure.xml"),
              0);
  }
}

}  // namespace
}  // namespace zerova
