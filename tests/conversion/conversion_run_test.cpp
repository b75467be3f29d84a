// The conversion run: what the window sees, the file operations of each line, and
// what a stop, a failed write or a sheet too wide leaves behind; a stop asked for
// while the workbook is read, in every format (the reader notices it within a step
// of 64 KB of input, before any damage at the end of the few megabytes it would
// otherwise report, and nothing is written); the document's size, known before the
// first line (a workbook of a few runs that reach seventeen billion cells is read
// and measured at the cost of its runs, and refused by the free-space check before
// the earlier document is touched); and the one mapping of failures to messages.
// Which cells become which lines is shown by the fixture documents.
#include "conversion/conversion_run.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <new>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "conversion/document/document_size.h"
#include "conversion/failure_message.h"
#include "formats/registry.h"
#include "formats/sheet/sheet_store.h"
#include "services/error.h"
#include "support/biff_builder.h"
#include "support/document.h"
#include "support/heap_use.h"
#include "support/memory_file_system.h"
#include "support/office_book.h"
#include "support/xlsb_builder.h"
#include "support/zip_builder.h"

namespace zerova::test {
namespace {

constexpr const char* kHeader = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Main>\r\n";

// Labels A (Ada and Bob below it) and B: eight lines.
std::unique_ptr<Worksheet> EightLineSheet() { return ColumnsSheet({{"A", "Ada", "Bob"}, {"B"}}); }
const std::string kEightLines = std::string(kHeader) +
                                "<node id=\"n1\" lbl=\"A\">\r\n<value>Ada</value>\r\n"
                                "<value>Bob</value>\r\n</node>\r\n"
                                "<node id=\"n2\" lbl=\"B\">\r\n</node>\r\n</Main>\r\n";

// Asked to stop after `stop_after` lines: nothing written and the earlier document
// kept (0), the incomplete document removed (1, and 7: just before the closing
// line), or the request too late to matter (8). Each line is reported against the total, counted
// before the first.
TEST(ConversionRun, StopsAfterTheLineWhenAskedAndRemovesTheIncompleteDocument) {
  const struct {
    std::int64_t stop_after;
    const char* message;   // empty: the run completes
    std::string document;  // what stands at kDocument after the run
  } rows[] = {
      {0, "book.xls: the conversion was cancelled before anything was written", kEarlier},
      {1,
       "/work/xmlstructure.xml: the conversion was cancelled; the incomplete document was "
       "removed",
       "removed"},
      {7,
       "/work/xmlstructure.xml: the conversion was cancelled; the incomplete document was "
       "removed",
       "removed"},
      {8, "", kEightLines},
  };
  for (const auto& row : rows) {
    MemoryFileSystem fs;
    fs.SetFile(kDocument, kEarlier);
    RecordingHooks hooks;
    hooks.stop_after = row.stop_after;
    EXPECT_EQ(RunFailure(EightLineSheet(), fs, hooks), row.message) << row.stop_after;
    const bool completes = *row.message == '\0';
    std::vector<std::string> calls = {"RunStarted"};
    if (row.stop_after > 0) calls.push_back("Begun: the incomplete document was removed");
    if (completes) {
      calls.insert(calls.end(),
                   {"Complete", "ShowCompletion: XML created successfully", "RunFinished"});
    }
    EXPECT_EQ(hooks.calls, calls) << row.stop_after;
    std::vector<std::pair<std::int64_t, std::int64_t>> progress;
    for (int line = 1; line <= row.stop_after; ++line) progress.emplace_back(line, 8);
    EXPECT_EQ(hooks.progress, progress) << row.stop_after;
    EXPECT_EQ(fs.Has(kDocument) ? fs.Contents(kDocument) : "removed", row.document)
        << row.stop_after;
  }
}

// Each line is its four file operations; before the first, the checks, the lock
// and one trial of what each line does.
TEST(ConversionRun, MakesTheFourFileOperationsOfALineAndNoOthers) {
  const auto calls_for = [](bool folder_writable) {
    MemoryFileSystem fs;
    fs.SetFile(kScratch, "");
    fs.SetFolderWritable(folder_writable);
    RecordingHooks hooks;
    EXPECT_EQ(RunFailure(EightLineSheet(), fs, hooks), "");
    return fs.calls();
  };
  const std::vector<std::string> renewal = {"Examine /home/ada/zerova/xmlstr.xml",
                                            "DeleteFile /home/ada/zerova/xmlstr.xml",
                                            "CreateNewFile /home/ada/zerova/xmlstr.xml"};
  std::vector<std::string> expected = {"CurrentFolder",
                                       "ProgramFolder",
                                       "IsWritableFolder",
                                       "Examine /home/ada/zerova/xmlstr.xml",
                                       "SpaceFor /work/xmlstructure.xml",
                                       "LockFile /work/xmlstructure.xml"};
  expected.insert(expected.end(), renewal.begin(), renewal.end());
  expected.push_back("CheckAppendable /work/xmlstructure.xml");
  for (int line = 0; line < 8; ++line) {
    expected.insert(expected.end(), renewal.begin(), renewal.end());
    expected.push_back("AppendLineToFile /work/xmlstructure.xml");
  }
  EXPECT_EQ(calls_for(true), expected);

  // A program folder the user cannot write to is found once; each line is then its append alone.
  expected = {"CurrentFolder",
              "ProgramFolder",
              "IsWritableFolder",
              "SpaceFor /work/xmlstructure.xml",
              "LockFile /work/xmlstructure.xml",
              "CheckAppendable /work/xmlstructure.xml"};
  expected.insert(expected.end(), 8, "AppendLineToFile /work/xmlstructure.xml");
  EXPECT_EQ(calls_for(false), expected);
}

// A full disk mid-line: the message counts the complete lines, and the part of the
// line written stays for the user to see.
TEST(ConversionRun, AFailedWriteSaysTheDocumentIsIncompleteAndHowManyLinesItHolds) {
  const std::string two_lines = std::string(kHeader) + "<node id=\"n1\" lbl=\"A\">\r\n";
  MemoryFileSystem disk;
  disk.FailWritesAt(two_lines.size() + 5, ENOSPC);  // full in the third line's sixth byte
  RecordingHooks hooks;
  EXPECT_EQ(RunFailure(EightLineSheet(), disk, hooks),
            "/work/xmlstructure.xml: could not write to the file: No space left on device; "
            "the document is incomplete: it holds 2 complete lines");
  EXPECT_EQ(disk.Contents(kDocument), two_lines + "<valu");
  EXPECT_EQ(hooks.calls.size(), 2u);  // started, begun, and no completion shown
}

// A sheet labelled in every column there is.
class EveryColumnLabelled final : public Worksheet {
 public:
  CellView Cell(std::int64_t row, std::int64_t) const override {
    return row == 1 ? label_ : empty_;
  }

 private:
  CellValue label_ = CellValue::Text("L");
  CellValue empty_;
};

TEST(ConversionRun, StopsWithAnErrorAfterColumn32767) {
  MemoryFileSystem fs;
  fs.SetFolderWritable(false);
  RecordingHooks hooks;
  EXPECT_EQ(RunFailure(std::make_unique<EveryColumnLabelled>(), fs, hooks),
            "book.xls: the sheet has labels in more than 32767 columns, the most this program can "
            "count; the document stops after the 32767th");
  const std::string& document = fs.Contents(kDocument);
  EXPECT_NE(document.find("<node id=\"n32767\" lbl=\"L\">\r\n</node>\r\n"), std::string::npos);
  EXPECT_EQ(document.substr(document.size() - 9), "</node>\r\n");
  EXPECT_EQ(hooks.calls.size(), 2u);
  // The total counts up to that column and the closing line, never written.
  EXPECT_EQ(hooks.progress.back(), std::make_pair(std::int64_t{65535}, std::int64_t{65536}));
}

// The table moved from A1 to B2 and to C5 gives the same document when the run
// is told where its first label stands; the cells left of it and above it are
// never read.
TEST(ConversionRun, ATableThatStartsElsewhereGivesTheDocumentItWouldAtA1) {
  for (const CellPlace first : {CellPlace{2, 2}, CellPlace{5, 3}}) {
    SCOPED_TRACE(first.row);
    auto sheet = std::make_unique<SheetStore>();
    const auto put = [&](std::int64_t row, std::int64_t column, const char* text) {
      sheet->Put(first.row + row - 1, first.column + column - 1, CellValue::Text(text));
    };
    put(1, 1, "A"), put(2, 1, "Ada"), put(3, 1, "Bob"), put(1, 2, "B");
    sheet->Put(1, 1, CellValue::Text("a title left of and above the table"));
    sheet->Put(first.row + 1, first.column - 1, CellValue::Text("beside the values"));
    sheet->Seal();
    MemoryFileSystem fs;
    RecordingHooks hooks;
    ConversionRequest request;
    request.first_cell = first;
    EXPECT_EQ(RunFailure(std::move(sheet), fs, hooks, request), "");
    EXPECT_EQ(fs.Contents(kDocument), kEightLines);
  }
}

// A document without nodes says why, naming the cell where the first label
// belongs and the sheet's first filled cell; a table that reaches every filled
// cell says nothing.
TEST(ConversionRun, TheCompletionComesWithNotesOnWhatTheUserWouldNotSee) {
  const std::string no_nodes =
      "ShowCompletion: XML created successfully / the document has no nodes: cell C7, where the "
      "first label belongs, is empty; the sheet's first filled cell is A1: --first-cell=A1 reads "
      "the table from there";
  MemoryFileSystem fs;
  RecordingHooks hooks;
  ConversionRequest request;
  request.first_cell = {7, 3};
  EXPECT_EQ(RunFailure(ColumnsSheet({{"A"}}), fs, hooks, request), "");
  EXPECT_EQ(hooks.calls.at(hooks.calls.size() - 2), no_nodes);
  RecordingHooks quiet;
  EXPECT_EQ(RunFailure(EightLineSheet(), fs, quiet), "");
  EXPECT_EQ(quiet.calls.at(quiet.calls.size() - 2), "ShowCompletion: XML created successfully");
}

TEST(FailureMessageTest, EachKindGetsItsHintAndEveryMessageIsOurs) {
  const FailureHints hints = {"; password hint", "; scratch hint", "; sheet hint"};
  const struct {
    std::exception_ptr failure;
    std::string line;
    bool cancelled;
  } rows[] = {
      {std::make_exception_ptr(PasswordNeeded("a.xls", "needs a password")),
       "a.xls: needs a password; password hint", false},
      {std::make_exception_ptr(ScratchFileError("/p/xmlstr.xml", "cannot be renewed")),
       "/p/xmlstr.xml: cannot be renewed; scratch hint", false},
      {std::make_exception_ptr(NotAWorksheet("a.xls", "the sheet is a chart")),
       "a.xls: the sheet is a chart; sheet hint", false},
      {std::make_exception_ptr(FileSystemError("/w/doc.xml", "could not write")),
       "/w/doc.xml: could not write", false},
      {std::make_exception_ptr(Cancelled("a.xls", "stopped")), "a.xls: stopped", true},
      {std::make_exception_ptr(std::bad_alloc()), "a.xls: not enough memory to read the file",
       false},
      {std::make_exception_ptr(std::system_error(
           std::make_error_code(std::errc::resource_unavailable_try_again), "thread")),
       "a.xls: not enough memory to start reading", false},
      {std::make_exception_ptr(std::runtime_error("odd")), "a.xls: odd", false},
  };
  for (const auto& row : rows) {
    const FailureMessage message = DescribeFailure(row.failure, "a.xls", hints);
    EXPECT_EQ(message.line, row.line);
    EXPECT_EQ(message.cancelled, row.cancelled) << row.line;
  }
}

// Counts every call on the cursors of the sheet it wraps.
class CountingSheet final : public Worksheet {
 public:
  explicit CountingSheet(const Worksheet& sheet) : sheet_(sheet) {}
  CellView Cell(std::int64_t row, std::int64_t column) const override {
    ++steps;
    return sheet_.Cell(row, column);
  }
  std::unique_ptr<ColumnCursor> CursorAt(std::int64_t row, std::int64_t column) const override {
    ++steps;
    return std::make_unique<Cursor>(sheet_.CursorAt(row, column), steps);
  }
  mutable std::int64_t steps = 0;

 private:
  class Cursor final : public ColumnCursor {
   public:
    Cursor(std::unique_ptr<ColumnCursor> cursor, std::int64_t& steps)
        : cursor_(std::move(cursor)), steps_(steps) {}
    CellView Cell() const override { return ++steps_, cursor_->Cell(); }
    void Down() override { ++steps_, cursor_->Down(); }
    std::int64_t Repeats() const override { return ++steps_, cursor_->Repeats(); }
    void Skip(std::int64_t rows) override { ++steps_, cursor_->Skip(rows); }

   private:
    std::unique_ptr<ColumnCursor> cursor_;
    std::int64_t& steps_;
  };
  const Worksheet& sheet_;
};

// One row of "x" repeated across 16,384 columns, the row repeated 1,048,575
// times: under a kilobyte.
std::vector<std::uint8_t> RepeatWorkbook() {
  return Zip(test::Ods(
      "<table:table-row table:number-rows-repeated=\"1048575\"><table:table-cell "
      "table:number-columns-repeated=\"16384\" office:value-type=\"string\"><text:p>x</text:p>"
      "</table:table-cell></table:table-row>"));
}

constexpr std::int64_t kColumns = 16384, kValues = 1048574;

// Its document, by the rules of the output document: the header and closing
// lines; per column `<node id="nC" lbl="x">`, a `<value>x</value>` per row below
// row 1 and `</node>`; every line with CR LF.
std::uint64_t DocumentBytes() {
  std::uint64_t bytes = std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?><Main>").size() + 2 +
                        std::string("</Main>").size() + 2;
  for (std::int64_t c = 1; c <= kColumns; ++c) {
    bytes += ("<node id=\"n" + std::to_string(c) + "\" lbl=\"x\">").size() + 2;
    bytes += std::string("</node>").size() + 2;
  }
  return bytes + kColumns * kValues * (std::string("<value>x</value>").size() + 2);
}

TEST(DocumentSizeTest, RepeatsAreReadAndMeasuredAtTheCostOfTheirRuns) {
  const std::vector<std::uint8_t> bytes = RepeatWorkbook();
  ASSERT_LT(bytes.size(), 1024u);
  const std::size_t before = HeapBytesInUse();
  const std::unique_ptr<Worksheet> sheet = ReadActiveSheet(bytes, "repeats.ods");
  EXPECT_LT(HeapBytesInUse() - before, std::size_t{1} << 20);  // the sheet holds one run

  const CountingSheet counting(*sheet);
  const DocumentSize size = MeasureDocument(counting, {}, Measure::kExact, nullptr);
  EXPECT_EQ(size.lines, 2 + kColumns * (kValues + 2));  // 17,179,869,186
  EXPECT_EQ(size.bytes, DocumentBytes());               // 309,237,634,261
  EXPECT_LE(counting.steps, 10 * kColumns);             // a few steps a column, none a row
}

TEST(DocumentSizeTest, ADocumentLargerThanTheFreeSpaceIsRefusedBeforeAnythingIsTouched) {
  MemoryFileSystem fs;
  fs.SetFile("/work/xmlstructure.xml", "earlier\r\n");
  fs.SetFreeSpace(100'000'000'000 - 9);  // and the earlier document's 9 bytes
  RecordingHooks hooks;
  const std::unique_ptr<SpreadsheetService> spreadsheets = NewSpreadsheetService();
  ConversionRequest request;
  request.source = InMemory(RepeatWorkbook(), "repeats.ods");
  EXPECT_EQ(RunFailure(*spreadsheets, fs, hooks, request),
            "/work/xmlstructure.xml: not enough free space for the document: it needs 309 GB, "
            "and 100 GB are free; the document was left as it was");
  EXPECT_EQ(fs.Contents("/work/xmlstructure.xml"), "earlier\r\n");
  EXPECT_EQ(std::count(fs.calls().begin(), fs.calls().end(), "LockFile /work/xmlstructure.xml"), 0);
}

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
}  // namespace zerova::test
