#include "conversion/conversion_run.h"

#include <limits>
#include <utility>

#include "conversion/clipping_note.h"
#include "conversion/document_size.h"
#include "conversion/output_document.h"
#include "conversion/sheet_choice.h"
#include "services/error.h"

namespace zerova {
namespace {

constexpr const char* kCancelledWhileReading =
    "the conversion was cancelled before anything was written";

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
  if (dynamic_cast<const ReplacedFileError*>(&cause) != nullptr) {
    return ReplacedFileError(cause.file(), what);
  }
  return FileSystemError(cause.file(), what);
}

// The window's part in reading: how far it has got, and whether to stop.
class ReadingHooks final : public ReadProgress {
 public:
  ReadingHooks(RunHooks& window, std::string source)
      : window_(window), source_(std::move(source)) {}

  void Reached(std::uint64_t done, std::uint64_t total) override {
    window_.ShowInputRead(done, total);
    CheckStop();
  }
  void CheckStop() override {
    if (window_.StopRequested()) throw Cancelled(source_, kCancelledWhileReading);
  }

 private:
  RunHooks& window_;
  std::string source_;
};

}  // namespace

ConversionRun::ConversionRun(SpreadsheetService& spreadsheets, FileSystem& file_system,
                             RunHooks& window)
    : spreadsheets_(spreadsheets), file_system_(file_system), window_(window) {}

void ConversionRun::Run(const std::string& source_path) {
  ConversionRequest request;
  request.source.path = source_path;
  Run(request);
}

void ConversionRun::ReadSheet(const ConversionRequest& request) {
  ReadingHooks reading(window_, request.source.path);
  // The whole sheet is read here, so a damaged file stops the run before the
  // document is touched. The sheet read stands alone; the workbook goes.
  std::unique_ptr<Workbook> book = spreadsheets_.Open(request.source, &reading);
  const std::size_t index = ChooseSheet(*book, request.sheet, request.source.path);
  SourceBook = book->ReadSheet(index);
  reading.CheckStop();
}

std::unique_ptr<DocumentWriter> ConversionRun::NewDocument(const ConversionRequest& request) {
  if (request.output_stream != nullptr) {
    OutputPath = DocumentPath = request.output_stream_name;
    return NewStreamDocument(request.output_stream, request.output_stream_name);
  }
  OutputPath = request.output.empty() ? kOutputDocumentName : request.output;
  DocumentPath = OutputPath.front() == '/' ? OutputPath
                                           : PathInFolder(file_system_.CurrentFolder(), OutputPath);
  return NewFileDocument(file_system_, DocumentPath);
}

void ConversionRun::EndLine() {
  try {
    document_->EndLine();
  } catch (const FileSystemError& e) {
    throw IncompleteDocument(e, DocumentPath, lines_written_);
  }
  ++lines_written_;
  window_.ShowLinesWritten(lines_written_, lines_total_);
  if (lines_written_ < lines_total_ && window_.StopRequested()) Cancel();
}

void ConversionRun::Cancel() {
  const std::string what = document_->Abandon();
  throw Cancelled(DocumentPath, "the conversion was cancelled; " + what);
}

void ConversionRun::Run(const ConversionRequest& request) {
  window_.DisableConvert();
  window_.ShowProgress();
  LabelRow = 1;
  NodeColumn = 1;
  ReadSheet(request);
  document_ = NewDocument(request);
  {
    ReadingHooks measuring(window_, request.source.path);
    const DocumentSize size =
        MeasureDocument(*SourceBook, request.output_stream == nullptr, &measuring);
    lines_total_ = size.lines;
    lines_written_ = 0;
    document_->Begin(size.bytes);
  }
  WriteLines(request.source.path);
  document_->Finish();  // the document is complete: another run may replace it now
  window_.ShowCompletion(kCompletionMessage, ClippingNote(SourceBook->Clipped()));
  window_.EndProgram();
}

void ConversionRun::WriteLines(const std::string& source_name) {
  HeaderLine(NewLine());
  EndLine();
  // Each column is read downward from its label with a cursor on the sheet.
  const Worksheet& sheet = *SourceBook;
  std::unique_ptr<ColumnCursor> cells = sheet.CursorAt(LabelRow, NodeColumn);
  for (CellView label = cells->Cell(); !label.IsEmpty(); label = cells->Cell()) {
    // Each cell's text goes straight into the line buffer; each cell is asked for once.
    NodeStartLine(NewLine(), NodeColumn, label);
    EndLine();
    cells->Down();  // to row 2
    for (CellView value = cells->Cell(); !value.IsEmpty(); value = cells->Cell()) {
      ValueLine(NewLine(), value);
      EndLine();
      cells->Down();
    }
    NodeEndLine(NewLine());
    EndLine();
    if (NodeColumn == std::numeric_limits<std::int16_t>::max()) {
      throw Error(source_name,
                  "the sheet has labels up to column 32767, the most this program can count;"
                  " the document stops after that column");
    }
    ++NodeColumn;
    cells = sheet.CursorAt(LabelRow, NodeColumn);
  }
  ClosingLine(NewLine());
  EndLine();
}

}  // namespace zerova
