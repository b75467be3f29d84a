// The document's size, known before the first line: a workbook of a few runs
// that reach seventeen billion cells is read and measured at the cost of its
// runs, and refused by the free-space check before the earlier document is
// touched.
#include <gtest/gtest.h>
#include <malloc.h>

#include <string>

#include "conversion/conversion_run.h"
#include "conversion/document_size.h"
#include "formats/registry.h"
#include "services/error.h"
#include "support/document.h"
#include "support/memory_file_system.h"
#include "support/office_book.h"

namespace zerova {
namespace {

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
  return test::Zip(test::Ods(
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
  const std::size_t before = mallinfo2().uordblks;
  const std::unique_ptr<Worksheet> sheet = test::ReadActiveSheet(bytes, "repeats.ods");
  EXPECT_LT(mallinfo2().uordblks - before, std::size_t{1} << 20);  // the sheet holds one run

  const CountingSheet counting(*sheet);
  const DocumentSize size = MeasureDocument(counting, {}, true, nullptr);
  EXPECT_EQ(size.lines, 2 + kColumns * (kValues + 2));  // 17,179,869,186
  EXPECT_EQ(size.bytes, DocumentBytes());               // 309,237,634,261
  EXPECT_LE(counting.steps, 10 * kColumns);             // a few steps a column, none a row
}

TEST(DocumentSizeTest, ADocumentLargerThanTheFreeSpaceIsRefusedBeforeAnythingIsTouched) {
  test::MemoryFileSystem fs;
  fs.SetFile("/work/xmlstructure.xml", "earlier\r\n");
  fs.SetFreeSpace(100'000'000'000 - 9);  // and the earlier document's 9 bytes
  test::RecordingHooks hooks;
  const std::unique_ptr<SpreadsheetService> spreadsheets = NewSpreadsheetService();
  ConversionRequest request;
  request.source = test::InMemory(RepeatWorkbook(), "repeats.ods");
  EXPECT_EQ(test::RunFailure(*spreadsheets, fs, hooks, request),
            "/work/xmlstructure.xml: not enough free space for the document: it needs 309 GB, "
            "and 100 GB are free; the document was left as it was");
  EXPECT_EQ(fs.Contents("/work/xmlstructure.xml"), "earlier\r\n");
  EXPECT_EQ(std::count(fs.calls().begin(), fs.calls().end(), "LockFile /work/xmlstructure.xml"), 0);
}

}  // namespace
}  // namespace zerova
