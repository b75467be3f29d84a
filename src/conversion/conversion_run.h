// ConversionRun: one conversion of a workbook's sheet into the output document.
//
// Reads the chosen worksheet (the active one by default), walks it column by
// column from the table's first cell (A1 by default) and, in each column, row by
// row from the row below the label, and writes the output document one line at
// a time. The walk stops at the first column whose label cell is empty, and
// within a column at the first empty cell below the label.
#ifndef ZEROVA_CONVERSION_CONVERSION_RUN_H_
#define ZEROVA_CONVERSION_CONVERSION_RUN_H_

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "conversion/cells_left_out.h"
#include "conversion/document/document_writer.h"
#include "conversion/sheet_choice.h"
#include "services/cell_address.h"
#include "services/file_system.h"
#include "services/run_hooks.h"
#include "services/spreadsheet.h"

namespace zerova {

// The completion message shown when the document is complete.
inline constexpr const char* kCompletionMessage = "XML created successfully";

// What a run converts, and where the document goes.
struct ConversionRequest {
  SpreadsheetInput source;
  SheetRequest sheet;    // by default the active sheet
  CellPlace first_cell;  // where the first label stands: A1 unless the user moves it
  // Set: the first label stands in the sheet's first filled cell, row by row
  // (A1 on an empty sheet), whatever `first_cell` says.
  bool first_filled_cell = false;
  // The document: "" is kOutputDocumentName in the current folder, written line
  // by line; another path is that file, written whole and put in place at once.
  std::string output;
  // Set: the document goes to this stream instead, named so in messages, holding
  // at most `output_stream_limit` bytes (a regular file under `ulimit -f`).
  std::FILE* output_stream = nullptr;
  std::string output_stream_name = "standard output";
  std::uint64_t output_stream_limit = FileSystem::kNoLimit;
};

// The document `request` asks for as notes name it: the stream's name, the
// path as given, or kOutputDocumentName.
std::string DocumentName(const ConversionRequest& request);

class ConversionRun {
 public:
  // The services must outlive this object.
  ConversionRun(SpreadsheetService& spreadsheets, FileSystem& file_system, RunHooks& hooks);
  ConversionRun(const ConversionRun&) = delete;
  ConversionRun& operator=(const ConversionRun&) = delete;

  // Converts the active sheet of the workbook at `source_path` into
  // kOutputDocumentName in the current working directory, line by line.
  void Run(const std::string& source_path);

  // Opens the workbook `request` names and converts it as Run(book, request) does.
  void Run(const ConversionRequest& request);

  // Converts the sheet `request` chooses of `book` (its source is not read
  // again: several sheets of one workbook are converted from one opening), then
  // shows the completion message, with notes (a name taken over a number, cells
  // left out past the sheet's limits or outside the table, a document without
  // nodes and where the sheet's first filled cell is: run_notes.h), and reports
  // the run finished. The hooks hear first that it started (RunStarted).
  //
  // Reading reports its progress and asks whether to stop, often. Before an
  // earlier document is touched, the run checks what it can: the sheet is read
  // whole and measured, and the document's writer checks where it goes
  // (document_writer.h). The hooks hear when the document has begun and when it
  // is complete (DocumentChanged).
  //
  // Throws ReadError, before the document is touched, when the workbook cannot
  // be read or the sheet chosen is not there or no worksheet; FileSystemError
  // when the document cannot be written, the message saying what became of it;
  // Error after the node of the table's 32767th column, the last the run can
  // count (the document then lacks its closing line). Cancelled when the hooks
  // ask to stop: while reading, with nothing written; later, after any line but
  // the last, having abandoned the document (the message says what it left).
  void Run(Workbook& book, const ConversionRequest& request);

  // The document as messages name it: its full path, or the stream's name; ""
  // until the run has chosen it.
  const std::string& document_path() const { return document_path_; }

  // How many nodes the document holds, once the run has written it.
  std::size_t nodes() const { return table_.values.size(); }

 private:
  // Run(book, request) once the hooks have been told it began.
  void Convert(Workbook& book, const ConversionRequest& request);
  // The writer of the document the request asks for; sets the document's paths.
  std::unique_ptr<DocumentWriter> NewDocument(const ConversionRequest& request);
  // Measures, prepares and begins the document for sheet_.
  void BeginDocument(const ConversionRequest& request);
  // Writes every line of the document for sheet_.
  void WriteLines(const std::string& source_name);
  // Ends the line built since DocumentWriter::NextLine, reports progress, and
  // stops the run when the hooks ask to.
  void EndLine();
  // Abandons the incomplete document and throws Cancelled.
  [[noreturn]] void Cancel();
  // The notes shown with the completion message.
  std::vector<std::string> Notes(const std::string& sheet_note) const;

  SpreadsheetService& spreadsheets_;
  FileSystem& file_system_;
  RunHooks& hooks_;

  // The run's state, in the original design's terms: the worksheet read (its
  // SourceBook), the document's name (OutputPath) and full path, the label row
  // and the column being converted (LabelRow, NodeColumn; NodeColumn counts the
  // nodes, from 1 at the table's first column).
  std::unique_ptr<Worksheet> sheet_;
  std::string output_path_;
  std::string document_path_;
  CellPlace first_cell_;
  std::int16_t node_column_ = 0;
  TableReach table_;  // the nodes written so far, and their values

  std::unique_ptr<DocumentWriter> document_;
  std::int64_t lines_written_ = 0;
  std::int64_t lines_total_ = 0;  // the document's lines, counted before the first
};

}  // namespace zerova

#endif  // ZEROVA_CONVERSION_CONVERSION_RUN_H_
