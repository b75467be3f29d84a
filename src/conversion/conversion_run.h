// conversion/: the output document's lines and escaping (output_document.h,
// xml_escape.h), a cell's text (cell_text.h), AppendLine and the writers of the
// document (document_writer.h), its size (document_size.h), the choice of the
// sheet (sheet_choice.h), and this run.
//
// ConversionRun: one conversion of a workbook's sheet into the output document.
//
// Reads the chosen worksheet (the active one by default), walks it column by
// column from column 1 and, in each column, row by row from row 2, and writes the
// output document one line at a time. The walk stops at the first column whose
// row-1 cell is empty, and within a column at the first empty cell below the label.
#ifndef ZEROVA_CONVERSION_CONVERSION_RUN_H_
#define ZEROVA_CONVERSION_CONVERSION_RUN_H_

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "conversion/document_writer.h"
#include "services/file_system.h"
#include "services/run_hooks.h"
#include "services/spreadsheet.h"

namespace zerova {

// The completion message shown when the document is complete.
inline constexpr const char* kCompletionMessage = "XML created successfully";

// What a run converts, and where the document goes.
struct ConversionRequest {
  SpreadsheetInput source;
  std::string sheet;   // "" the active sheet; else a name, or a number from 1 (ChooseSheet)
  std::string output;  // "" kOutputDocumentName in the current folder; else the file's path
  std::FILE* output_stream = nullptr;  // set: the document goes there, buffered, not to a file
  std::string output_stream_name = "standard output";  // the stream, as messages name it
};

class ConversionRun {
 public:
  // The services must outlive this object.
  ConversionRun(SpreadsheetService& spreadsheets, FileSystem& file_system, RunHooks& window);
  ConversionRun(const ConversionRun&) = delete;
  ConversionRun& operator=(const ConversionRun&) = delete;

  // Converts the active sheet of the workbook at `source_path` into
  // kOutputDocumentName in the current working directory.
  void Run(const std::string& source_path);

  // Converts as `request` says, then shows the completion message (with a note
  // when the reader dropped cells past the sheet's limits) and ends the program
  // through the window hooks.
  //
  // Reading reports its progress and asks the window whether to stop, often.
  // Before the document is emptied, the run checks what it can: the sheet is
  // read whole and measured, the scratch file is neither read-only nor a
  // folder, the document fits the free space, and no symbolic link or other
  // non-file stands in its place. It then takes the document's lock, held until
  // the last line is written: a second run on the same document is refused
  // before it changes anything.
  //
  // Throws ReadError, before the document is touched, when the workbook cannot
  // be read or the sheet chosen is not there or no worksheet; FileSystemError,
  // with an earlier document left untouched, when a check fails or another run
  // holds its lock ("DOCUMENT: another conversion is writing this document");
  // FileSystemError when a line cannot be written (the document keeps the lines
  // written so far, and the message says it is incomplete and how many complete
  // lines it holds), ReplacedFileError among them when another file was put in
  // the document's place; Error after the node of column 32767, the last column
  // number the run can count to (the document then lacks its closing line).
  // Messages name the document and the scratch file by their full paths.
  // Cancelled when the window asks to stop: while reading, with nothing
  // written; later, after any line but the last, having removed the incomplete
  // document. The completion message is shown only after the last line is written.
  void Run(const ConversionRequest& request);

  // The run's state, as it leaves it.
  std::unique_ptr<Worksheet> SourceBook;
  std::string OutputPath;
  std::string DocumentPath;  // OutputPath as a full path, or the stream's name
  std::int16_t LabelRow = 0;
  std::int16_t NodeColumn = 0;

 private:
  // Reads the sheet the request chooses into SourceBook.
  void ReadSheet(const ConversionRequest& request);
  // The writer of the document the request asks for; sets OutputPath and DocumentPath.
  std::unique_ptr<DocumentWriter> NewDocument(const ConversionRequest& request);
  // Writes every line of the document for SourceBook.
  void WriteLines(const std::string& source_name);
  // Where the next line is built (DocumentWriter::NextLine).
  std::string& NewLine() { return document_->NextLine(); }
  // Ends the line built since NewLine, reports progress, and stops the run when
  // the window asks to.
  void EndLine();
  // Removes the incomplete document and throws Cancelled.
  [[noreturn]] void Cancel();

  SpreadsheetService& spreadsheets_;
  FileSystem& file_system_;
  RunHooks& window_;
  std::unique_ptr<DocumentWriter> document_;
  std::int64_t lines_written_ = 0;
  std::int64_t lines_total_ = 0;  // the document's lines, counted before the first
};

}  // namespace zerova

#endif  // ZEROVA_CONVERSION_CONVERSION_RUN_H_
