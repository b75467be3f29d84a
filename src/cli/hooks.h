// CommandLineHooks: the command line standing in for the window. The success
// line goes to stdout, a note about dropped cells to stderr, and the progress,
// on a terminal only, to stderr; a stop signal is the stop request.
//
// StopOnSignal: the same stop request and progress for reading done outside a
// run (standard input, the listing of sheets).
#ifndef ZEROVA_CLI_HOOKS_H_
#define ZEROVA_CLI_HOOKS_H_

#include <cstdint>
#include <string>

#include "cli/progress_line.h"
#include "services/read_progress.h"
#include "services/run_hooks.h"

namespace zerova {

class CommandLineHooks final : public RunHooks {
 public:
  // `progress` (null: none) must outlive this object. `source` names the
  // spreadsheet in the note. `success` is how the success line starts ("" for
  // the message alone, "DIR/NAME.xml" for "DIR/NAME.xml: " and the message);
  // `announce` false prints no success line.
  CommandLineHooks(ProgressLine* progress, std::string source, std::string success, bool announce);

  // When the document goes to a stream: once its first line is written, a
  // second stop signal writes `notice` (see stop_signals.h). A file document
  // needs none of this: document_guard.h watches it.
  void ArmOnFirstLine(std::string notice) { first_line_notice_ = std::move(notice); }

  void ShowInputRead(std::uint64_t done, std::uint64_t total) override;
  void ShowLinesWritten(std::int64_t written, std::int64_t total) override;
  bool StopRequested() override;
  // Throws FileSystemError naming standard output when the line cannot be written.
  void ShowCompletion(const std::string& message, const std::string& note) override;

 private:
  ProgressLine* progress_;
  std::string source_;
  std::string success_;
  bool announce_;
  std::string first_line_notice_;
};

class StopOnSignal final : public ReadProgress {
 public:
  // `progress` (null: none) must outlive this object. A stop throws Cancelled
  // naming `source`, with `stopped` as its detail.
  StopOnSignal(ProgressLine* progress, std::string source, std::string stopped);

  void Reached(std::uint64_t done, std::uint64_t total) override;
  void CheckStop() override;

 private:
  ProgressLine* progress_;
  std::string source_;
  std::string stopped_;
};

}  // namespace zerova

#endif  // ZEROVA_CLI_HOOKS_H_
