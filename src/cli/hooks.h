// CommandLineHooks: the command line's side of a conversion run. The success
// line goes to stdout, notes to stderr, and the progress, on a terminal only,
// to stderr; a stop signal is the stop request; and what a second signal says
// and removes follows the document as it begins and completes.
//
// StopOnSignal: the same stop request and progress for reading done outside a
// run (the listing of sheets, a workbook opened once for all its sheets).
#ifndef ZEROVA_CLI_HOOKS_H_
#define ZEROVA_CLI_HOOKS_H_

#include <cstdint>
#include <string>
#include <vector>

#include "cli/progress_line.h"
#include "services/read_progress.h"
#include "services/run_hooks.h"
#include "services/stop_signals.h"

namespace zerova {

// "zerova: FILE: DETAIL\n" after `line_start` ("\r" where a progress line may
// stand on the terminal): a line of the command line's on stderr.
std::string StderrLine(const std::string& line_start, const std::string& file,
                       const std::string& detail);

class CommandLineHooks final : public RunHooks {
 public:
  // `progress` (null: none) and `last_words` must outlive this object.
  // `document` names the document in notes (as the user named it: "out/a.xml",
  // "xmlstructure.xml", "standard output"). `success` is how the success line
  // starts ("" for the message alone, "DIR/NAME.xml" for "DIR/NAME.xml: " and
  // the message); `announce` false prints no success line. `line_start` starts
  // every line that may follow a progress line.
  CommandLineHooks(ProgressLine* progress, LastWords& last_words, std::string line_start,
                   std::string document, std::string success, bool announce);

  void ShowInputRead(std::uint64_t done, std::uint64_t total) override;
  void ShowLinesWritten(std::int64_t written, std::int64_t total) override;
  bool StopRequested() override;
  void DocumentChanged(const DocumentAtStake& document) override;
  // Throws FileSystemError naming standard output when the line cannot be written.
  void ShowCompletion(const std::string& message, const std::vector<std::string>& notes) override;

 private:
  ProgressLine* progress_;
  LastWords& last_words_;
  std::string line_start_;
  std::string document_;
  std::string success_;
  bool announce_;
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
