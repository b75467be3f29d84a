#include "conversion/conversion_run.h"

#include <utility>

#include "conversion/document/document_size.h"
#include "conversion/document/line_builders.h"
#include "conversion/run_notes.h"
#include "conversion/stop_texts.h"
#include "services/error.h"

namespace zerova {
namespace {

// The hooks' part in reading: how far it has got, and whether to stop.
class ReadingHooks final : public ReadProgress {
 public:
  ReadingHooks(RunHooks& hooks, std::string source) : hooks_(hooks), source_(std::move(source)) {}

  void Reached(std::uint64_t done, std::uint64_t total) override {
    hooks_.ShowInputRead(done, total);
    CheckStop();
  }
  void CheckStop() override {
    if (hooks_.StopRequested()) throw Cancelled(source_, kCancelledBeforeWriting);
  }

 private:
  RunHooks& hooks_;
  std::string source_;
};

}  // namespace

std::string DocumentName(const ConversionRequest& request) {
  if (request.output_stream != nullptr) return request.output_stream_name;
  return request.output.empty() ? kOutputDocumentName : request.output;
}

ConversionRun::ConversionRun(SpreadsheetService& spreadsheets, FileSystem& file_system,
                             RunHooks& hooks)
    : spreadsheets_(spreadsheets), file_system_(file_system), hooks_(hooks) {}

void ConversionRun::Run(const std::string& source_path) {
  ConversionRequest request;
  request.source.path = source_path;
  Run(request);
}

void ConversionRun::Run(const ConversionRequest& request) {
  hooks_.RunStarted();
  ReadingHooks reading(hooks_, request.source.path);
  // The whole sheet is read before the document is touched, so a damaged file
  // stops the run first. The workbook goes once its sheet is read.
  std::unique_ptr<Workbook> book = spreadsheets_.Open(request.source, &reading);
  Convert(*book, request);
}

void ConversionRun::Run(Workbook& book, const ConversionRequest& request) {
  hooks_.RunStarted();
  Convert(book, request);
}

void ConversionRun::Convert(Workbook& book, const ConversionRequest& request) {
  const SheetChoice choice = ChooseSheet(book, request.sheet, request.source.path);
  sheet_ = book.ReadSheet(choice.index);
  ReadingHooks(hooks_, request.source.path).CheckStop();
  first_cell_ = request.first_filled_cell ? FirstFilledCell(*sheet_).value_or(CellPlace{})
                                          : request.first_cell;
  node_column_ = 1;
  table_ = {first_cell_, {}};
  BeginDocument(request);
  WriteLines(request.source.path);
  document_->Finish();  // the document is complete: another run may replace it now
  hooks_.DocumentChanged(DocumentAtStake::Complete(document_path_));
  hooks_.ShowCompletion(kCompletionMessage, Notes(choice.note));
  hooks_.RunFinished();
}

std::unique_ptr<DocumentWriter> ConversionRun::NewDocument(const ConversionRequest& request) {
  if (request.output_stream != nullptr) {
    output_path_ = document_path_ = request.output_stream_name;
    return NewStreamDocument(request.output_stream, request.output_stream_name,
                             request.output_stream_limit);
  }
  output_path_ = DocumentName(request);
  document_path_ = IsFullPath(output_path_)
                       ? output_path_
                       : PathInFolder(file_system_.CurrentFolder(), output_path_);
  return request.output.empty() ? NewLineByLineDocument(file_system_, document_path_)
                                : NewWholeDocument(file_system_, document_path_);
}

void ConversionRun::BeginDocument(const ConversionRequest& request) {
  document_ = NewDocument(request);
  ReadingHooks measuring(hooks_, request.source.path);
  DocumentSize size = MeasureDocument(*sheet_, first_cell_, document_->measure(), &measuring);
  if (!document_->Fits(size.bytes)) {
    size = MeasureDocument(*sheet_, first_cell_, Measure::kExact, &measuring);
  }
  lines_total_ = size.lines;
  lines_written_ = 0;
  document_->Prepare(size.bytes);
  hooks_.DocumentChanged(document_->AtStake());
  document_->Start();
}

void ConversionRun::EndLine() {
  document_->EndLine();
  ++lines_written_;
  hooks_.ShowLinesWritten(lines_written_, lines_total_);
  if (lines_written_ < lines_total_ && hooks_.StopRequested()) Cancel();
}

void ConversionRun::Cancel() {
  const std::string left = document_->Abandon();
  throw Cancelled(document_path_, kCancelledLeaving + left);
}

void ConversionRun::WriteLines(const std::string& source_name) {
  HeaderLine(document_->NextLine());
  EndLine();
  // Each column is read downward from its label with a cursor on the sheet.
  const Worksheet& sheet = *sheet_;
  const auto column_cursor = [&] {
    return sheet.CursorAt(first_cell_.row, first_cell_.column + node_column_ - 1);
  };
  std::unique_ptr<ColumnCursor> cells = column_cursor();
  for (CellView label = cells->Cell(); !label.IsEmpty(); label = cells->Cell()) {
    // Each cell's text goes straight into the line buffer; each cell is asked for once.
    NodeStartLine(document_->NextLine(), node_column_, label);
    EndLine();
    cells->Down();  // to the first value's row
    std::int64_t& values = table_.values.emplace_back(0);
    for (CellView value = cells->Cell(); !value.IsEmpty(); value = cells->Cell()) {
      ValueLine(document_->NextLine(), value);
      EndLine();
      ++values;
      cells->Down();
    }
    NodeEndLine(document_->NextLine());
    EndLine();
    if (node_column_ == kMostNodes) {
      throw Error(source_name,
                  "the sheet has labels in more than 32767 columns, the most this program can "
                  "count; the document stops after the 32767th");
    }
    ++node_column_;
    cells = column_cursor();
  }
  ClosingLine(document_->NextLine());
  EndLine();
}

std::vector<std::string> ConversionRun::Notes(const std::string& sheet_note) const {
  std::vector<std::string> notes = {sheet_note, ClippingNote(sheet_->Clipped())};
  if (table_.values.empty()) {
    notes.push_back(NoNodesNote(first_cell_, FirstFilledCell(*sheet_)));
  } else {
    notes.push_back(LeftOutNote(FindCellsLeftOut(*sheet_, table_)));
  }
  std::erase(notes, "");
  return notes;
}

}  // namespace zerova
