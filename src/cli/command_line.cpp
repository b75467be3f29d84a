#include "cli/command_line.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>

#include "cli/batch.h"
#include "cli/document_guard.h"
#include "cli/help.h"
#include "cli/hooks.h"
#include "cli/options.h"
#include "cli/passwords.h"
#include "cli/progress_line.h"
#include "cli/sheet_listing.h"
#include "cli/standard_input.h"
#include "cli/stop_signals.h"
#include "conversion/conversion_run.h"
#include "conversion/failure_message.h"
#include "conversion/output_document.h"
#include "formats/registry.h"
#include "services/error.h"
#include "services/file_system.h"
#include "zerova_version.h"  // ZEROVA_VERSION_TEXT, written at build time

namespace zerova {
namespace {

// How a workbook's password is given on the command line, after "needs a password".
constexpr char kPasswordHint[] =
    "; give it with --password-file PWFILE or in the environment variable ZEROVA_PASSWORD";

constexpr const char* kConversionStopped =
    "the conversion was cancelled before anything was written";
constexpr const char* kListingStopped = "the listing of the sheets was cancelled";
// As the run says it when it stops writing to a stream.
constexpr const char* kStreamStopped =
    "the conversion was cancelled; the document written there is incomplete";

int UsageError(const std::string& reason) {
  std::fprintf(stderr, "zerova: %s\n%s\n", reason.c_str(), kTryHelp);
  return 2;
}

// Writes `text` to stdout; throws FileSystemError naming it when that fails.
void PrintOut(const std::string& text, const char* what) {
  std::fputs(text.c_str(), stdout);
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    throw PosixError("standard output", std::string("write ") + what, errno);
  }
}

// True iff `a` and `b` name one existing file (a symbolic link at `b` is not followed).
bool SameFile(const std::string& a, const std::string& b) {
  struct stat first, second;
  return ::stat(a.c_str(), &first) == 0 && ::lstat(b.c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// The conversions and listings of one command line, a FILE at a time.
class CommandLine {
 public:
  explicit CommandLine(const CommandLineOptions& options)
      : options_(options),
        terminal_(::isatty(STDERR_FILENO) == 1 &&
                  !(options.output == kStandardStream && ::isatty(STDOUT_FILENO) == 1)),
        disk_(NewLocalFileSystem()),
        guard_(NewDocumentGuard(*disk_, terminal_ ? "\r" : "")) {}

  // Converts options_.files[0] into the document -o names, or the default one.
  int ConvertOne();
  // Converts each FILE of `batch` in turn; a stop ends the batch.
  int ConvertBatch(const std::vector<BatchItem>& batch);
  int ListSheets();

 private:
  // Converts `file` into `request`'s document and returns the exit status.
  // `success` starts the success line (CommandLineHooks).
  int Convert(const std::string& file, ConversionRequest request, const std::string& success);
  // The spreadsheet `file` names: a path, or standard input read whole.
  SpreadsheetInput Input(const std::string& file, const char* stopped);
  // Prints `failure`'s one line; returns 128 + N when signal N stopped the
  // work, else 1.
  int Fail(const std::exception_ptr& failure, const std::string& source);

  // A fresh progress line, on a terminal only: its delay counts from now.
  void StartProgress() {
    if (terminal_) progress_.emplace(stderr);
  }
  ProgressLine* progress() { return progress_ ? &*progress_ : nullptr; }
  void EraseProgress() {
    if (progress_) progress_->Erase();
  }
  // The line a second signal writes: "zerova: FILE: DETAIL", over the progress line.
  std::string Notice(const std::string& file, const char* detail) const {
    return (terminal_ ? "\r" : "") + std::string("zerova: ") + Error(file, detail).what() + "\n";
  }
  static std::string SourceName(const std::string& file) {
    return file == kStandardStream ? kStandardInputName : file;
  }

  const CommandLineOptions& options_;
  const bool terminal_;  // progress is drawn: stderr is a terminal the document does not go to
  std::optional<ProgressLine> progress_;
  std::unique_ptr<FileSystem> disk_;
  std::unique_ptr<FileSystem> guard_;  // disk_, watched for the second signal
};

SpreadsheetInput CommandLine::Input(const std::string& file, const char* stopped) {
  if (file != kStandardStream) return {file, nullptr};
  const auto report = [this, stopped](std::uint64_t done, std::uint64_t total) {
    if (progress_) progress_->UpdateRead(done, total);
    if (StopSignal() != 0) throw Cancelled(kStandardInputName, stopped);
  };
  return {kStandardInputName, ReadStandardInput(STDIN_FILENO, report)};
}

int CommandLine::Fail(const std::exception_ptr& failure, const std::string& source) {
  EraseProgress();
  const FailureMessage message = DescribeFailure(failure, source, kPasswordHint);
  std::fprintf(stderr, "zerova: %s\n", message.line.c_str());
  return message.cancelled && StopSignal() != 0 ? 128 + StopSignal() : 1;
}

int CommandLine::Convert(const std::string& file, ConversionRequest request,
                         const std::string& success) {
  const std::string source = SourceName(file);
  StartProgress();
  // Until the run empties the document, a second signal only says so.
  ArmSecondSignal(Notice(source, kConversionStopped));
  try {
    const std::string document = request.output.empty() ? kOutputDocumentName : request.output;
    if (request.output_stream == nullptr && file != kStandardStream && SameFile(file, document)) {
      throw FileSystemError(
          document,
          "the document would replace the spreadsheet it comes from; nothing was written");
    }
    CommandLinePasswords passwords(options_.password_file, [this] { EraseProgress(); });
    std::unique_ptr<SpreadsheetService> spreadsheets = NewSpreadsheetService(&passwords);
    request.source = Input(file, kConversionStopped);
    request.sheet = options_.sheet;
    const bool announce = !options_.quiet && request.output_stream == nullptr;
    CommandLineHooks hooks(progress(), source, success, announce);
    if (request.output_stream != nullptr) {
      hooks.ArmOnFirstLine(Notice(request.output_stream_name, kStreamStopped));
    }
    ConversionRun run(*spreadsheets, *guard_, hooks);
    run.Run(request);
    DisarmSecondSignal();
    return 0;
  } catch (...) {
    DisarmSecondSignal();
    return Fail(std::current_exception(), source);
  }
}

int CommandLine::ConvertOne() {
  ConversionRequest request;
  if (options_.output == kStandardStream) {
    request.output_stream = stdout;
  } else {
    request.output = options_.output;
  }
  return Convert(options_.files.front(), std::move(request), "");
}

int CommandLine::ConvertBatch(const std::vector<BatchItem>& batch) {
  std::error_code error;
  if (!std::filesystem::is_directory(options_.outdir, error)) {
    const bool missing = !std::filesystem::exists(options_.outdir, error);
    std::fprintf(stderr, "zerova: %s\n",
                 Error(options_.outdir, missing ? "no such folder" : "is not a folder").what());
    return 1;
  }
  int status = 0;
  for (const BatchItem& item : batch) {
    if (StopSignal() != 0) return 128 + StopSignal();
    ConversionRequest request;
    request.output = item.document;
    const int converted = Convert(item.file, std::move(request), item.document);
    if (converted > 1) return converted;
    if (converted == 1) status = 1;
  }
  return status;
}

int CommandLine::ListSheets() {
  const std::string& file = options_.files.front();
  const std::string source = SourceName(file);
  StartProgress();
  try {
    CommandLinePasswords passwords(options_.password_file, [this] { EraseProgress(); });
    std::unique_ptr<SpreadsheetService> spreadsheets = NewSpreadsheetService(&passwords);
    const SpreadsheetInput input = Input(file, kListingStopped);
    StopOnSignal reading(progress(), source, kListingStopped);
    std::unique_ptr<Workbook> book = spreadsheets->Open(input, &reading);
    const std::string listing = SheetListing(*book);
    EraseProgress();
    PrintOut(listing, "the list of sheets");
    return 0;
  } catch (...) {
    return Fail(std::current_exception(), source);
  }
}

}  // namespace

int RunCommandLine(int argc, char** argv) {
  const CommandLineOptions options = ParseCommandLine(argc, argv);
  if (!options.usage_error.empty()) return UsageError(options.usage_error);
  try {
    switch (options.action) {
      case CommandLineOptions::Action::kHelp:
        PrintOut(HelpText(), "the help");
        return 0;
      case CommandLineOptions::Action::kVersion:
        PrintOut(std::string("zerova ") + ZEROVA_VERSION_TEXT + "\n", "the version");
        return 0;
      default:
        break;
    }
  } catch (const Error& e) {
    std::fprintf(stderr, "zerova: %s\n", e.what());
    return 1;
  }
  std::vector<BatchItem> batch;
  if (!options.outdir.empty()) {
    std::string refusal;
    batch = PlanBatch(options.outdir, options.files, &refusal);
    if (!refusal.empty()) return UsageError(refusal);
  }
  CatchStopSignals();
  CommandLine command_line(options);
  if (options.action == CommandLineOptions::Action::kListSheets) return command_line.ListSheets();
  return options.outdir.empty() ? command_line.ConvertOne() : command_line.ConvertBatch(batch);
}

}  // namespace zerova
