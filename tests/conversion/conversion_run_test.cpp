// The conversion run: which cells become which lines, what the window sees, and
// what a failure leaves behind.
#include "conversion/conversion_run.h"

#include <gtest/gtest.h>

#include "conversion/output_document.h"
#include "formats/common/pooled_sheet.h"
#include "services/error.h"
#include "support/document.h"
#include "support/memory_file_system.h"

namespace zerova {
namespace {

using testing::DocumentOf;
using testing::GivenSheetService;
using testing::MemoryFileSystem;
using testing::RecordingHooks;

struct Cell {
  int row;
  int column;
  CellValue value;
};

std::unique_ptr<Worksheet> Sheet(std::vector<Cell> cells) {
  auto sheet = std::make_unique<PooledSheet>();
  for (auto& cell : cells) sheet->Put(cell.row, cell.column, std::move(cell.value));
  sheet->Seal();
  return sheet;
}

CellValue T(const char* text) { return CellValue::Text(text); }

constexpr const char* kHeader = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Main>\r\n";

TEST(ConversionRun, EmptyFirstCellGivesHeaderAndClosingLineOnly) {
  EXPECT_EQ(DocumentOf(Sheet({{2, 1, T("ignored")}, {1, 2, T("ignored")}})),
            std::string(kHeader) + "</Main>\r\n");
}

TEST(ConversionRun, WritesEachLabelledColumnDownToItsFirstEmptyCell) {
  const std::string document = DocumentOf(Sheet({
      {1, 1, T("Name")},
      {2, 1, T("Ada")},
      {3, 1, T("Bob")},
      {5, 1, T("after gap")},
      {1, 2, T("Age")},
      {2, 2, CellValue::Number(0)},
      {1, 3, T("Alone")},
      {1, 4, T("Cut")},
      {2, 4, T("")},
      {3, 4, T("after empty text")},
      {1, 5, CellValue::Error(CellError::kDiv0)},
      {2, 5, CellValue::Boolean(false)},
      {3, 5, CellValue::Error(CellError::kNA)},
      {1, 7, T("never read")},
      {2, 7, T("never read")},
  }));
  EXPECT_EQ(document, std::string(kHeader) +
                          "<node id=\"n1\" lbl=\"Name\">\r\n"
                          "<value>Ada</value>\r\n"
                          "<value>Bob</value>\r\n"
                          "</node>\r\n"
                          "<node id=\"n2\" lbl=\"Age\">\r\n"
                          "<value>0</value>\r\n"
                          "</node>\r\n"
                          "<node id=\"n3\" lbl=\"Alone\">\r\n"
                          "</node>\r\n"
                          "<node id=\"n4\" lbl=\"Cut\">\r\n"
                          "</node>\r\n"
                          "<node id=\"n5\" lbl=\"#DIV/0!\">\r\n"
                          "<value>False</value>\r\n"
                          "<value>#N/A</value>\r\n"
                          "</node>\r\n"
                          "</Main>\r\n");
  EXPECT_TRUE(testing::IsWellFormedXml(document));
}

TEST(ConversionRun, ReplacesAnEarlierDocumentThenCompletesAndEnds) {
  GivenSheetService service(Sheet({{1, 1, T("A")}}));
  MemoryFileSystem fs;
  fs.SetFile(kOutputDocumentName, "an earlier document\r\n");
  RecordingHooks hooks;
  ConversionRun run(service, fs, hooks);
  run.Run("book.xls");
  EXPECT_EQ(fs.Contents(kOutputDocumentName),
            std::string(kHeader) + "<node id=\"n1\" lbl=\"A\">\r\n</node>\r\n</Main>\r\n");
  EXPECT_EQ(hooks.calls,
            (std::vector<std::string>{"DisableConvert", "ShowProgress",
                                      "ShowCompletion: XML created successfully", "EndProgram"}));
}

class UnreadableService final : public SpreadsheetService {
 public:
  std::unique_ptr<Worksheet> Open(const std::string& path) override {
    throw ReadError(path, "workbook is password-protected");
  }
};

TEST(ConversionRun, FailuresNeverComplete) {
  {  // An unreadable workbook stops the run before the document is touched.
    UnreadableService service;
    MemoryFileSystem fs;
    fs.SetFile(kOutputDocumentName, "an earlier document\r\n");
    RecordingHooks hooks;
    EXPECT_THROW(ConversionRun(service, fs, hooks).Run("book.xls"), ReadError);
    EXPECT_EQ(fs.Contents(kOutputDocumentName), "an earlier document\r\n");
    EXPECT_EQ(hooks.calls, (std::vector<std::string>{"DisableConvert", "ShowProgress"}));
  }
  {  // A line that cannot be written leaves the document as far as it got.
    GivenSheetService service(Sheet({{1, 1, T("A")}}));
    MemoryFileSystem fs;
    fs.SetFile("/opt/zerova/xmlstr.xml", "");
    fs.SetReadOnly("/opt/zerova/xmlstr.xml");
    RecordingHooks hooks;
    EXPECT_THROW(ConversionRun(service, fs, hooks).Run("book.xls"), FileSystemError);
    EXPECT_EQ(fs.Contents(kOutputDocumentName), "");
    EXPECT_EQ(hooks.calls.size(), 2u);
  }
}

// A sheet labelled in every column there is.
class EveryColumnLabelled final : public Worksheet {
 public:
  const CellValue& Cell(std::int64_t row, std::int64_t) const override {
    return row == 1 ? label_ : empty_;
  }

 private:
  CellValue label_ = CellValue::Text("L");
  CellValue empty_;
};

TEST(ConversionRun, StopsWithAnErrorAfterColumn32767) {
  GivenSheetService service(std::make_unique<EveryColumnLabelled>());
  MemoryFileSystem fs;
  fs.SetFolderWritable(false);
  RecordingHooks hooks;
  ConversionRun run(service, fs, hooks);
  EXPECT_THROW(run.Run("wide.xls"), Error);
  const std::string& document = fs.Contents(kOutputDocumentName);
  EXPECT_NE(document.find("<node id=\"n32767\" lbl=\"L\">\r\n</node>\r\n"), std::string::npos);
  EXPECT_EQ(document.substr(document.size() - 9), "</node>\r\n");
  EXPECT_EQ(hooks.calls.size(), 2u);
}

}  // namespace
}  // namespace zerova
