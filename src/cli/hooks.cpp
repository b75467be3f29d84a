#include "cli/hooks.h"

#include <cerrno>
#include <cstdio>
#include <utility>

#include "conversion/stop_texts.h"
#include "services/error.h"

namespace zerova {

std::string StderrLine(const std::string& line_start, const std::string& file,
                       const std::string& detail) {
  return line_start + "zerova: " + Error(file, detail).what() + "\n";
}

CommandLineHooks::CommandLineHooks(ProgressLine* progress, LastWords& last_words,
                                   std::string line_start, std::string document,
                                   std::string success, bool announce)
    : progress_(progress),
      last_words_(last_words),
      line_start_(std::move(line_start)),
      document_(std::move(document)),
      success_(std::move(success)),
      announce_(announce) {}

void CommandLineHooks::ShowInputRead(std::uint64_t done, std::uint64_t total) {
  if (progress_ != nullptr) progress_->UpdateRead(done, total);
}

void CommandLineHooks::ShowLinesWritten(std::int64_t written, std::int64_t total) {
  if (progress_ != nullptr) progress_->Update(written, total);
}

bool CommandLineHooks::StopRequested() { return StopSignal() != 0; }

// From the moment the document begins, a second signal removes what the run
// has begun and says what a stop leaves; once it is complete, only that.
void CommandLineHooks::DocumentChanged(const DocumentAtStake& document) {
  if (document.complete) {
    last_words_.Change(StderrLine(line_start_, document.document, kCompleteWhenStopped));
  } else {
    last_words_.Change(
        StderrLine(line_start_, document.document, kCancelledLeaving + document.left),
        document.removable, document.id);
  }
}

void CommandLineHooks::ShowCompletion(const std::string& message,
                                      const std::vector<std::string>& notes) {
  if (progress_ != nullptr) progress_->Erase();
  if (announce_) {
    const std::string line = success_.empty() ? message : Error(success_, message).what();
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
      // The document is complete, but a script reading our output would not know.
      throw PosixError("standard output", "write the completion message", errno);
    }
  }
  for (const std::string& note : notes) std::fputs(StderrLine("", document_, note).c_str(), stderr);
}

StopOnSignal::StopOnSignal(ProgressLine* progress, std::string source, std::string stopped)
    : progress_(progress), source_(std::move(source)), stopped_(std::move(stopped)) {}

void StopOnSignal::Reached(std::uint64_t done, std::uint64_t total) {
  if (progress_ != nullptr) progress_->UpdateRead(done, total);
  CheckStop();
}

void StopOnSignal::CheckStop() {
  if (StopSignal() != 0) throw Cancelled(source_, stopped_);
}

}  // namespace zerova
