// Converter: the command line's conversions, one at a time: a FILE, or a sheet
// of a workbook open already, into one document, with the progress line on a
// terminal, the success line and the notes (cli/hooks.h), and one line on
// stderr for a failure. command_line.cpp converts one FILE and lists sheets
// with it; batch.cpp converts a batch.
#ifndef ZEROVA_CLI_CONVERTER_H_
#define ZEROVA_CLI_CONVERTER_H_

#include <exception>
#include <memory>
#include <optional>
#include <string>

#include "cli/options.h"
#include "cli/progress_line.h"
#include "cli/workbook_door.h"
#include "conversion/conversion_run.h"
#include "services/file_system.h"
#include "services/secret.h"
#include "services/stop_signals.h"

namespace zerova {

// What a conversion returns, as the exit status says it (cli/command_line.h):
inline constexpr int kConverted = 0;
inline constexpr int kFailed = 1;
inline constexpr int kNoNodes = 3;   // with --fail-empty: a document without nodes, written
inline constexpr int kSkipped = -1;  // a sheet of --all-sheets that is no worksheet after all

// Of two statuses, the one to exit with: a stop (128 + N), else a failure, else
// a document without nodes, else success (kSkipped counts as success).
int Worse(int a, int b);

class Converter {
 public:
  // `options` must outlive this object.
  Converter(const CommandLineOptions& options, std::optional<SecretBytes> password);

  // Converts `file` (from `given`, open already, when not null) into `request`'s
  // document, and returns kConverted, kNoNodes, kFailed (its line said), 128 + N
  // when signal N stopped it, or, for a sheet of `given` that is no worksheet,
  // kSkipped (its note said). `success` starts the success line
  // (CommandLineHooks), printed unless `announce` is false or -q. `words` are
  // the last words armed for the conversion.
  int Convert(const std::string& file, ConversionRequest request, const std::string& success,
              bool announce, LastWords& words, OpenedWorkbook* given = nullptr);

  // Opens `file` through the door, the progress line showing the reading.
  OpenedWorkbook Open(const std::string& file, const std::string& stopped) {
    return door_.Open(file, progress(), stopped);
  }

  // Says `failure`'s one line; returns 128 + N when signal N stopped the work, else kFailed.
  int Fail(const std::exception_ptr& failure, const std::string& source);

  // A line on stderr, "zerova: FILE: DETAIL", over the progress line.
  std::string Line(const std::string& file, const std::string& detail) const;
  // Prints Line(file, detail), having erased the progress line.
  void Note(const std::string& file, const std::string& detail);

  // A fresh progress line, on a terminal only: its delay counts from now.
  void StartProgress() {
    if (terminal_) progress_.emplace(stderr);
  }
  void EraseProgress() {
    if (progress_) progress_->Erase();
  }
  // No progress line from now on: the document goes to the terminal.
  void DrawNoProgress() { terminal_ = false; }

  const CommandLineOptions& options() const { return options_; }
  FileSystem& disk() { return *disk_; }

 private:
  // Refuses what would go wrong with the document's place before anything is read.
  void CheckDocumentPlace(const std::string& file, const ConversionRequest& request);
  ProgressLine* progress() { return progress_ ? &*progress_ : nullptr; }

  const CommandLineOptions& options_;
  bool terminal_;  // progress is drawn: stderr is a terminal the document does not go to
  std::optional<ProgressLine> progress_;
  std::unique_ptr<FileSystem> disk_;
  std::optional<SecretBytes> environment_password_;
  WorkbookDoor door_;
};

}  // namespace zerova

#endif  // ZEROVA_CLI_CONVERTER_H_
