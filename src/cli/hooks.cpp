#include "cli/hooks.h"

#include <cerrno>
#include <cstdio>
#include <utility>

#include "cli/stop_signals.h"
#include "services/error.h"

namespace zerova {

CommandLineHooks::CommandLineHooks(ProgressLine* progress, std::string source, std::string success,
                                   bool announce)
    : progress_(progress),
      source_(std::move(source)),
      success_(std::move(success)),
      announce_(announce) {}

void CommandLineHooks::ShowInputRead(std::uint64_t done, std::uint64_t total) {
  if (progress_ != nullptr) progress_->UpdateRead(done, total);
}

void CommandLineHooks::ShowLinesWritten(std::int64_t written, std::int64_t total) {
  if (written == 1 && !first_line_notice_.empty()) ArmSecondSignal(first_line_notice_);
  if (progress_ != nullptr) progress_->Update(written, total);
}

bool CommandLineHooks::StopRequested() { return StopSignal() != 0; }

void CommandLineHooks::ShowCompletion(const std::string& message, const std::string& note) {
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
  if (!note.empty()) std::fprintf(stderr, "zerova: %s\n", Error(source_, note).what());
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
