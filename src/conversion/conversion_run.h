// conversion/: the output document's lines and escaping (output_document.h,
// xml_escape.h), a cell's text (cell_text.h), AppendLine, and this run.
//
// ConversionRun: the one conversion a program start performs.
//
// Reads the active worksheet of the chosen workbook, walks it column by column
// from column 1 and, in each column, row by row from row 2, and writes the output
// document one appended line at a time. The walk stops at the first column whose
// row-1 cell is empty, and within a column at the first empty cell below the label.
#ifndef ZEROVA_CONVERSION_CONVERSION_RUN_H_
#define ZEROVA_CONVERSION_CONVERSION_RUN_H_

#include <cstdint>
#include <memory>
#include <string>

#include "services/file_system.h"
#include "services/spreadsheet.h"
#include "services/window_hooks.h"

namespace zerova {

// The completion message shown when the document is complete.
inline constexpr const char* kCompletionMessage = "XML created successfully";

class ConversionRun {
 public:
  // The services must outlive this object.
  ConversionRun(SpreadsheetService& spreadsheets, FileSystem& file_system, WindowHooks& window);
  ConversionRun(const ConversionRun&) = delete;
  ConversionRun& operator=(const ConversionRun&) = delete;

  // Converts the workbook at `source_path` into kOutputDocumentName in the current
  // working directory, then shows the completion message and ends the program
  // through the window hooks.
  //
  // Before the document is replaced, the run checks what it can (the scratch
  // file is neither read-only nor a folder) and takes the document's lock, held
  // until the last line is written: a second run on the same document is
  // refused before it changes anything.
  //
  // Throws ReadError, before the document is created, when the workbook cannot be
  // read; FileSystemError, with an earlier document left untouched, when the
  // checks fail, the document cannot be opened for writing, or another run holds
  // its lock ("DOCUMENT: another conversion is writing this document");
  // FileSystemError when a line cannot be written (the document keeps the lines
  // written so far, and the message says it is incomplete and how many complete
  // lines it holds); Error after the node of column 32767, the last column number
  // the run can count to (the document then lacks its closing line). Every
  // message names the document and the scratch file by their full paths.
  // The completion message is shown only after the last line is written.
  //
  // Progress: after every line the window is told how many of the document's
  // lines are written, against the total the sheet gives (counted once, before
  // the first line). When the window asks to stop, after the workbook is read or
  // after any line but the last, the run removes the incomplete document (if it
  // has created one) and throws Cancelled; an earlier document is then gone too.
  void Run(const std::string& source_path);

  // The run's state, as it leaves it.
  std::unique_ptr<Worksheet> SourceBook;
  std::string OutputPath;
  std::string DocumentPath;  // OutputPath in the current folder, as a full path
  std::int16_t LabelRow = 0;
  std::int16_t NodeColumn = 0;

 private:
  // Checks the scratch file, takes the document's lock and creates the document
  // empty; returns the lock.
  std::unique_ptr<FileLock> CreateDocument();
  // The line buffer, emptied: one buffer serves every line of the run.
  std::string& NewLine();
  // Appends `line` to the document, reports progress, and stops the run when
  // the window asks to.
  void Append(const std::string& line);

  // Removes the incomplete document and throws Cancelled.
  [[noreturn]] void Cancel();

  SpreadsheetService& spreadsheets_;
  FileSystem& file_system_;
  WindowHooks& window_;
  std::string scratch_;  // the scratch file renewed before each line; empty: none
  std::string line_;
  std::int64_t lines_written_ = 0;
  std::int64_t lines_total_ = 0;  // the document's lines, counted before the first
};

}  // namespace zerova

#endif  // ZEROVA_CONVERSION_CONVERSION_RUN_H_
