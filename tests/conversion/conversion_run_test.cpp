// The conversion run: which cells become which lines, what the window sees, and
// what a failure leaves behind.
#include "conversion/conversion_run.h"

#include <gtest/gtest.h>

#include <functional>

#include "formats/common/sheet_store.h"
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
  auto sheet = std::make_unique<SheetStore>();
  for (const auto& cell : cells) sheet->Put(cell.row, cell.column, cell.value);
  sheet->Seal();
  return sheet;
}

CellValue T(const char* text) { return CellValue::Text(text); }

constexpr const char* kHeader = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Main>\r\n";
constexpr const char* kDocument = "/work/xmlstructure.xml";
constexpr const char* kScratch = "/opt/zerova/xmlstr.xml";
constexpr const char* kEarlier = "an earlier document\r\n";

// The message `run` throws as a FileSystemError, or "" when it throws nothing.
std::string FileSystemFailureOf(const std::function<void()>& run) {
  try {
    run();
  } catch (const FileSystemError& e) {
    return e.what();
  }
  return "";
}

// Calls `after_append` with the count of lines appended so far after each one.
class WatchedFileSystem final : public testing::FileSystemWrapper {
 public:
  WatchedFileSystem(FileSystem& base, std::function<void(int)> after_append)
      : FileSystemWrapper(base), after_append_(std::move(after_append)) {}
  void AppendLineToFile(const std::string& path, std::string_view line) override {
    FileSystemWrapper::AppendLineToFile(path, line);
    after_append_(++appends_);
  }

 private:
  std::function<void(int)> after_append_;
  int appends_ = 0;
};

TEST(ConversionRun, WritesEachLabelledColumnDownToItsFirstEmptyCell) {
  EXPECT_EQ(DocumentOf(Sheet({{2, 1, T("ignored")}, {1, 2, T("ignored")}})),
            std::string(kHeader) + "</Main>\r\n");  // an empty A1: no node at all
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

// Two labels, the first with two values: eight lines.
std::unique_ptr<Worksheet> EightLineSheet() {
  return Sheet({{1, 1, T("A")}, {2, 1, T("Ada")}, {3, 1, T("Bob")}, {1, 2, T("B")}});
}

// Asked to stop after `stop_after` lines: nothing written and the earlier document
// kept (0), the incomplete document removed (1 to 7), or the request too late to
// matter: the earlier document replaced and the window told (8). Each line is
// reported against the total, counted before the first.
TEST(ConversionRun, StopsAfterTheLineWhenAskedAndRemovesTheIncompleteDocument) {
  const char* removed =
      "/work/xmlstructure.xml: the conversion was cancelled; the incomplete document was removed";
  const struct {
    std::int64_t stop_after;
    const char* message;  // empty: the run completes
  } rows[] = {
      {0, "book.xls: the conversion was cancelled before anything was written"},
      {1, removed},
      {7, removed},
      {8, ""},
  };
  for (const auto& row : rows) {
    GivenSheetService service(EightLineSheet());
    MemoryFileSystem fs;
    fs.SetFile(kDocument, kEarlier);
    RecordingHooks hooks;
    hooks.stop_after = row.stop_after;
    ConversionRun run(service, fs, hooks);
    std::string message;
    try {
      run.Run("book.xls");
    } catch (const Cancelled& e) {
      message = e.what();
    }
    EXPECT_EQ(message, row.message) << row.stop_after;
    const bool completes = *row.message == '\0';
    std::vector<std::string> calls = {"DisableConvert", "ShowProgress"};
    if (completes)
      calls.insert(calls.end(), {"ShowCompletion: XML created successfully", "EndProgram"});
    EXPECT_EQ(hooks.calls, calls) << row.stop_after;
    std::vector<std::pair<std::int64_t, std::int64_t>> progress;
    for (int line = 1; line <= row.stop_after; ++line) progress.emplace_back(line, 8);
    EXPECT_EQ(hooks.progress, progress) << row.stop_after;
    if (row.stop_after == 0) {
      EXPECT_EQ(fs.Contents(kDocument), kEarlier);
    } else if (completes) {
      EXPECT_EQ(fs.Contents(kDocument), std::string(kHeader) +
                                            "<node id=\"n1\" lbl=\"A\">\r\n<value>Ada</value>\r\n"
                                            "<value>Bob</value>\r\n</node>\r\n"
                                            "<node id=\"n2\" lbl=\"B\">\r\n</node>\r\n</Main>\r\n");
    } else {
      EXPECT_FALSE(fs.Has(kDocument)) << row.stop_after;
    }
  }
}

TEST(ConversionRun, MakesTheFourFileOperationsOfALineAndNoOthers) {
  const auto calls_for = [](bool folder_writable) {
    GivenSheetService service(Sheet({{1, 1, T("A")}, {2, 1, T("a")}, {1, 2, T("B")}}));
    MemoryFileSystem fs;
    fs.SetFile(kScratch, "");
    fs.SetFolderWritable(folder_writable);
    RecordingHooks hooks;
    ConversionRun(service, fs, hooks).Run("book.xls");
    return fs.calls();
  };
  constexpr int kLines = 7;  // header, A's three, B's two, closing
  std::vector<std::string> expected = {"CurrentFolder",
                                       "ProgramFolder",
                                       "IsWritableFolder",
                                       "Examine /opt/zerova/xmlstr.xml",
                                       "LockFile /work/xmlstructure.xml",
                                       "CreateTextFile /work/xmlstructure.xml"};
  for (int i = 0; i < kLines; ++i) {
    expected.insert(
        expected.end(),
        {"Examine /opt/zerova/xmlstr.xml", "DeleteFile /opt/zerova/xmlstr.xml",
         "CreateTextFile /opt/zerova/xmlstr.xml", "AppendLineToFile /work/xmlstructure.xml"});
  }
  EXPECT_EQ(calls_for(true), expected);

  // A program folder the user cannot write to is found once; each line is then its append alone.
  expected = {"CurrentFolder", "ProgramFolder", "IsWritableFolder",
              "LockFile /work/xmlstructure.xml", "CreateTextFile /work/xmlstructure.xml"};
  expected.insert(expected.end(), kLines, "AppendLineToFile /work/xmlstructure.xml");
  EXPECT_EQ(calls_for(false), expected);
}

TEST(ConversionRun, ASecondRunOnTheDocumentIsRefusedAndTheFirstCompletes) {
  MemoryFileSystem disk;
  std::string second_error;
  std::vector<std::string> second_calls;
  WatchedFileSystem fs(disk, [&](int lines) {
    if (lines != 3) return;
    const std::string before = disk.Contents(kDocument);
    disk.ClearCalls();
    GivenSheetService service(Sheet({{1, 1, T("other")}}));
    RecordingHooks hooks;
    second_error = FileSystemFailureOf([&] { ConversionRun(service, disk, hooks).Run("b.xls"); });
    second_calls = disk.calls();
    EXPECT_EQ(disk.Contents(kDocument), before);
  });
  GivenSheetService service(Sheet({{1, 1, T("L")}, {2, 1, T("1")}, {3, 1, T("2")}}));
  RecordingHooks hooks;
  ConversionRun(service, fs, hooks).Run("a.xls");

  EXPECT_EQ(second_error, "/work/xmlstructure.xml: another conversion is writing this document");
  EXPECT_EQ(second_calls.back(), "LockFile /work/xmlstructure.xml");  // nothing written or renewed
  const std::string document = disk.Contents(kDocument);
  EXPECT_EQ(document, std::string(kHeader) +
                          "<node id=\"n1\" lbl=\"L\">\r\n<value>1</value>\r\n<value>2</value>\r\n"
                          "</node>\r\n</Main>\r\n");
  EXPECT_TRUE(testing::IsWellFormedXml(document));
  EXPECT_EQ(hooks.calls.back(), "EndProgram");

  // The lock ends with the run: the next one goes ahead.
  GivenSheetService again(Sheet({}));
  ConversionRun(again, disk, hooks).Run("c.xls");
  EXPECT_EQ(disk.Contents(kDocument), std::string(kHeader) + "</Main>\r\n");
}

TEST(ConversionRun, AFailedWriteSaysTheDocumentIsIncompleteAndHowManyLinesItHolds) {
  const struct {
    int full_at;       // the append the disk fills up in
    std::size_t kept;  // and the bytes of it written
    const char* holds;
    std::string document;
  } rows[] = {
      {3, 5, "2 complete lines", std::string(kHeader) + "<node id=\"n1\" lbl=\"L\">\r\n<valu"},
      {1, 0, "no complete line", ""},
  };
  for (const auto& row : rows) {
    MemoryFileSystem disk;
    testing::FullDiskFileSystem fs(disk, row.full_at, row.kept);
    GivenSheetService service(Sheet({{1, 1, T("L")}, {2, 1, T("1")}}));
    RecordingHooks hooks;
    EXPECT_EQ(FileSystemFailureOf([&] { ConversionRun(service, fs, hooks).Run("a.xls"); }),
              std::string("/work/xmlstructure.xml: could not write to the file: No space left on"
                          " device; the document is incomplete: it holds ") +
                  row.holds);
    EXPECT_EQ(disk.Contents(kDocument), row.document);
    EXPECT_EQ(hooks.calls.size(), 2u);
    // The failed run let go of the document.
    GivenSheetService again(Sheet({}));
    ConversionRun(again, disk, hooks).Run("b.xls");
  }
  {  // The scratch file turns read-only after the first line.
    MemoryFileSystem disk;
    WatchedFileSystem fs(disk, [&](int) { disk.SetReadOnly(kScratch); });
    GivenSheetService service(Sheet({{1, 1, T("L")}}));
    RecordingHooks hooks;
    EXPECT_EQ(FileSystemFailureOf([&] { ConversionRun(service, fs, hooks).Run("a.xls"); }),
              "/opt/zerova/xmlstr.xml: the file is read-only and cannot be replaced;"
              " the document /work/xmlstructure.xml is incomplete: it holds 1 complete line");
    EXPECT_EQ(disk.Contents(kDocument), kHeader);
  }
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
  GivenSheetService service(std::make_unique<EveryColumnLabelled>());
  MemoryFileSystem fs;
  fs.SetFolderWritable(false);
  RecordingHooks hooks;
  ConversionRun run(service, fs, hooks);
  EXPECT_THROW(run.Run("wide.xls"), Error);
  const std::string& document = fs.Contents(kDocument);
  EXPECT_NE(document.find("<node id=\"n32767\" lbl=\"L\">\r\n</node>\r\n"), std::string::npos);
  EXPECT_EQ(document.substr(document.size() - 9), "</node>\r\n");
  EXPECT_EQ(hooks.calls.size(), 2u);
  // The total counts up to that column and the closing line, never written.
  EXPECT_EQ(hooks.progress.back(), std::make_pair(std::int64_t{65535}, std::int64_t{65536}));
}

}  // namespace
}  // namespace zerova
