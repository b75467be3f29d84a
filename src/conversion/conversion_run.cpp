#include "conversion/conversion_run.h"

#include <limits>

#include "conversion/append_line.h"
#include "conversion/cell_text.h"
#include "conversion/output_document.h"
#include "services/error.h"

namespace zerova {

ConversionRun::ConversionRun(SpreadsheetService& spreadsheets, FileSystem& file_system,
                             WindowHooks& window)
    : spreadsheets_(spreadsheets), file_system_(file_system), window_(window) {}

std::string& ConversionRun::NewLine() {
  line_.clear();
  return line_;
}

void ConversionRun::Append(const std::string& line) { AppendLine(file_system_, OutputPath, line); }

void ConversionRun::Run(const std::string& source_path) {
  window_.DisableConvert();
  window_.ShowProgress();
  LabelRow = 1;
  NodeColumn = 1;
  std::int64_t ValueRow = 2;

  // The whole sheet is read here, so a damaged file stops the run before the
  // document is touched.
  SourceBook = spreadsheets_.Open(source_path);
  OutputPath = kOutputDocumentName;
  file_system_.CreateTextFile(OutputPath);
  Append(HeaderLine(NewLine()));

  const Worksheet& sheet = *SourceBook;
  while (!sheet.Cell(LabelRow, NodeColumn).IsEmpty()) {
    const std::string LabelText = CellText(sheet.Cell(LabelRow, NodeColumn));
    Append(NodeStartLine(NewLine(), NodeColumn, LabelText));
    while (!sheet.Cell(ValueRow, NodeColumn).IsEmpty()) {
      const std::string ValueText = CellText(sheet.Cell(ValueRow, NodeColumn));
      Append(ValueLine(NewLine(), ValueText));
      ++ValueRow;
    }
    ValueRow = 2;
    Append(NodeEndLine(NewLine()));
    if (NodeColumn == std::numeric_limits<std::int16_t>::max()) {
      throw Error(source_path,
                  "the sheet has labels up to column 32767, the most this program can count;"
                  " the document stops after that column");
    }
    ++NodeColumn;
  }
  Append(ClosingLine(NewLine()));
  window_.ShowCompletion(kCompletionMessage);
  window_.EndProgram();
}

}  // namespace zerova
