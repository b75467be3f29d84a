#include "conversion/conversion_run.h"

#include <limits>

#include "conversion/append_line.h"
#include "conversion/output_document.h"
#include "services/error.h"

namespace zerova {
namespace {

constexpr const char* kDocumentBusy = "another conversion is writing this document";

// `cause`, a failure while the document was being written, completed with what
// it left behind: the document and the number of lines it holds in full.
FileSystemError IncompleteDocument(const FileSystemError& cause, const std::string& document,
                                   std::int64_t lines) {
  std::string what = cause.detail();
  what.append("; the document ");
  if (cause.file() != document) what.append(document).append(" ");
  what.append("is incomplete: it holds ");
  if (lines == 0) {
    what.append("no complete line");
  } else {
    what.append(std::to_string(lines)).append(lines == 1 ? " complete line" : " complete lines");
  }
  return FileSystemError(cause.file(), what);
}

}  // namespace

ConversionRun::ConversionRun(SpreadsheetService& spreadsheets, FileSystem& file_system,
                             WindowHooks& window)
    : spreadsheets_(spreadsheets), file_system_(file_system), window_(window) {}

namespace {

constexpr std::int16_t kLastColumn = std::numeric_limits<std::int16_t>::max();

// The number of lines the run writes for `sheet`: header and closing line, and
// per labelled column its start line, one line per value and its end line. A
// sheet labelled past kLastColumn counts up to that column, where the run stops.
std::int64_t CountLines(const Worksheet& sheet) {
  std::int64_t lines = 2;
  for (std::int64_t column = 1; column <= kLastColumn && !sheet.Cell(1, column).IsEmpty();
       ++column) {
    lines += 2;
    const std::unique_ptr<ColumnCursor> values = sheet.CursorAt(2, column);
    for (; !values->Cell().IsEmpty(); values->Down()) ++lines;
  }
  return lines;
}

}  // namespace

std::unique_ptr<FileLock> ConversionRun::CreateDocument() {
  DocumentPath = PathInFolder(file_system_.CurrentFolder(), OutputPath);
  scratch_ = ScratchFileForRun(file_system_);
  CheckScratchFile(file_system_, scratch_);
  std::unique_ptr<FileLock> lock = file_system_.LockFile(DocumentPath);
  if (!lock) throw FileSystemError(DocumentPath, kDocumentBusy);
  file_system_.CreateTextFile(DocumentPath);
  lines_written_ = 0;
  return lock;
}

std::string& ConversionRun::NewLine() {
  line_.clear();
  return line_;
}

void ConversionRun::Append(const std::string& line) {
  try {
    AppendLine(file_system_, scratch_, DocumentPath, line);
  } catch (const FileSystemError& e) {
    throw IncompleteDocument(e, DocumentPath, lines_written_);
  }
  ++lines_written_;
  window_.ShowLinesWritten(lines_written_, lines_total_);
  if (lines_written_ < lines_total_ && window_.StopRequested()) Cancel();
}

void ConversionRun::Cancel() {
  file_system_.DeleteFile(DocumentPath);
  throw Cancelled(DocumentPath,
                  "the conversion was cancelled; the incomplete document was removed");
}

void ConversionRun::Run(const std::string& source_path) {
  window_.DisableConvert();
  window_.ShowProgress();
  LabelRow = 1;
  NodeColumn = 1;
  std::int64_t ValueRow = 2;

  // The whole sheet is read here, so a damaged file stops the run before the
  // document is touched.
  SourceBook = spreadsheets_.Open(source_path);
  if (window_.StopRequested()) {
    throw Cancelled(source_path, "the conversion was cancelled before anything was written");
  }
  lines_total_ = CountLines(*SourceBook);
  OutputPath = kOutputDocumentName;
  std::unique_ptr<FileLock> lock = CreateDocument();
  Append(HeaderLine(NewLine()));

  // Each column is read downward from its label with a cursor on the sheet.
  const Worksheet& sheet = *SourceBook;
  std::unique_ptr<ColumnCursor> cells = sheet.CursorAt(LabelRow, NodeColumn);
  while (!cells->Cell().IsEmpty()) {
    // Each cell's text goes straight into the line buffer.
    Append(NodeStartLine(NewLine(), NodeColumn, cells->Cell()));
    cells->Down();  // to ValueRow
    while (!cells->Cell().IsEmpty()) {
      Append(ValueLine(NewLine(), cells->Cell()));
      ++ValueRow;
      cells->Down();
    }
    ValueRow = 2;
    Append(NodeEndLine(NewLine()));
    if (NodeColumn == std::numeric_limits<std::int16_t>::max()) {
      throw Error(source_path,
                  "the sheet has labels up to column 32767, the most this program can count;"
                  " the document stops after that column");
    }
    ++NodeColumn;
    cells = sheet.CursorAt(LabelRow, NodeColumn);
  }
  Append(ClosingLine(NewLine()));
  lock.reset();  // the document is complete: another run may replace it now
  window_.ShowCompletion(kCompletionMessage);
  window_.EndProgram();
}

}  // namespace zerova
