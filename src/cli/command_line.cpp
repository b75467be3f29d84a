#include "cli/command_line.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <optional>
#include <string>

#include "cli/batch.h"
#include "cli/help.h"
#include "cli/hooks.h"
#include "cli/options.h"
#include "cli/output_target.h"
#include "cli/passwords.h"
#include "cli/progress_line.h"
#include "cli/workbook_door.h"
#include "conversion/conversion_run.h"
#include "conversion/document/line_builders.h"
#include "conversion/failure_message.h"
#include "conversion/stop_texts.h"
#include "services/error.h"
#include "services/file_system.h"
#include "services/process.h"
#include "services/stop_signals.h"
#include "zerova_version.h"  // ZEROVA_VERSION_TEXT, written at build time

namespace zerova {
namespace {

// How the command line lets the user do what some failures ask for.
constexpr FailureHints kHints = {
    "; give it with --password-file PWFILE or in the environment variable ZEROVA_PASSWORD",
    "; give -o FILE to write the document whole, without the scratch file",
    "; give --sheet=NAME or --sheet-number=N; --list-sheets lists the sheets",
};

// A second signal between two files of a batch.
constexpr char kBatchStopped[] = "the conversions were stopped between two files";

// What Convert returns for a sheet of --all-sheets that is no worksheet after all.
constexpr int kSkipped = -1;

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

// "1 document written, 2 files failed".
std::string Counted(int count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

// What `zerova --list-sheets` prints: a line per sheet in workbook order, its
// number, TAB, its name as messages show it (so each stays one line); then TAB
// "active" on the active sheet, TAB and its kind on a sheet that is no
// worksheet, and TAB "hidden" or "very hidden" on a sheet the workbook hides.
std::string SheetListing(Workbook& book) {
  const std::vector<SheetInfo>& sheets = book.Sheets();
  const std::size_t active = book.ActiveSheet();
  std::string text;
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    text += std::to_string(i + 1) + "\t" + PrintableText(sheets[i].name);
    if (i == active) text += "\tactive";
    if (sheets[i].kind != SheetKind::kWorksheet) {
      text += std::string("\t") + SheetKindName(sheets[i].kind);
    }
    if (sheets[i].visibility == SheetVisibility::kHidden) text += "\thidden";
    if (sheets[i].visibility == SheetVisibility::kVeryHidden) text += "\tvery hidden";
    text += "\n";
  }
  return text;
}

// The conversions and listings of one command line, a FILE at a time.
class CommandLine {
 public:
  CommandLine(const CommandLineOptions& options, std::optional<SecretBytes> password)
      : options_(options),
        terminal_(IsTerminal(stderr)),
        disk_(NewLocalFileSystem()),
        environment_password_(std::move(password)),
        door_(options.password_file, &environment_password_) {}

  // Converts options_.files[0] into the document -o names, or the default one.
  int ConvertOne();
  // Converts each FILE of `batch` in turn, each sheet of it with --all-sheets;
  // a stop ends the batch. Closes with a count of what was done.
  int ConvertBatch(const std::vector<BatchItem>& batch);
  int ListSheets();

 private:
  struct Counts {
    int documents = 0;
    int failed_files = 0;
  };

  // Converts `file` (from `given`, open already, when not null) into `request`'s
  // document, and returns the exit status. `success` starts the success line
  // (CommandLineHooks), printed unless `announce` is false or -q. `words` are
  // the last words armed for the conversion.
  int Convert(const std::string& file, ConversionRequest request, const std::string& success,
              bool announce, LastWords& words, OpenedWorkbook* given = nullptr);
  // One FILE of a batch into its document; every worksheet of it with --all-sheets.
  int ConvertFile(const BatchItem& item, Counts& counts);
  int ConvertSheets(const BatchItem& item, Counts& counts);
  // Refuses what would go wrong with the document's place before anything is read.
  void CheckDocumentPlace(const std::string& file, const ConversionRequest& request);
  // Opens `file` through the door, the progress line showing the reading.
  OpenedWorkbook Open(const std::string& file, const char* stopped) {
    return door_.Open(file, progress(), stopped);
  }
  // Says `failure`'s one line; returns 128 + N when signal N stopped the work, else 1.
  int Fail(const std::exception_ptr& failure, const std::string& source);

  // A fresh progress line, on a terminal only: its delay counts from now.
  void StartProgress() {
    if (terminal_) progress_.emplace(stderr);
  }
  ProgressLine* progress() { return progress_ ? &*progress_ : nullptr; }
  void EraseProgress() {
    if (progress_) progress_->Erase();
  }
  // A line on stderr, "zerova: FILE: DETAIL", over the progress line.
  std::string Line(const std::string& file, const std::string& detail) const {
    return StderrLine(terminal_ ? "\r" : "", file, detail);
  }
  // Throws Cancelled naming `source` once a stop signal has come.
  static void CheckStop(const std::string& source) {
    if (StopSignal() != 0) throw Cancelled(source, kCancelledBeforeWriting);
  }

  const CommandLineOptions& options_;
  bool terminal_;  // progress is drawn: stderr is a terminal the document does not go to
  std::optional<ProgressLine> progress_;
  std::unique_ptr<FileSystem> disk_;
  std::optional<SecretBytes> environment_password_;
  WorkbookDoor door_;
};

int CommandLine::Fail(const std::exception_ptr& failure, const std::string& source) {
  EraseProgress();
  const FailureMessage message = DescribeFailure(failure, source, kHints);
  SayLast("zerova: " + message.line + "\n");
  return message.cancelled && StopSignal() != 0 ? 128 + StopSignal() : 1;
}

void CommandLine::CheckDocumentPlace(const std::string& file, const ConversionRequest& request) {
  if (request.output_stream != nullptr) return;
  const std::string document = request.output.empty() ? kOutputDocumentName : request.output;
  if (file != kStandardStream && disk_->SameFile(file, document)) {
    throw FileSystemError(
        document, "the document would replace the spreadsheet it comes from; nothing was written");
  }
  if (request.output.empty() && !disk_->IsWritableFolder(".") &&
      disk_->Examine(kOutputDocumentName) == PathKind::kMissing) {
    throw FileSystemError(PathInFolder(disk_->CurrentFolder(), kOutputDocumentName),
                          "the current folder cannot be written to, so the document cannot be "
                          "made there; give -o FILE to write it elsewhere");
  }
}

int CommandLine::Convert(const std::string& file, ConversionRequest request,
                         const std::string& success, bool announce, LastWords& words,
                         OpenedWorkbook* given) {
  const std::string source = SourceName(file);
  words.Change(Line(source, kCancelledBeforeWriting));
  StartProgress();
  try {
    CheckDocumentPlace(file, request);
    OpenedWorkbook own;
    if (given == nullptr) {
      own = Open(file, kCancelledBeforeWriting);
      request.sheet = options_.sheet;
    }
    OpenedWorkbook& opened = given != nullptr ? *given : own;
    request.source.path = source;
    request.first_cell = options_.first_cell;
    CommandLineHooks hooks(progress(), words, terminal_ ? "\r" : "", source, success,
                           announce && !options_.quiet);
    ConversionRun run(*opened.spreadsheets, *disk_, hooks);
    run.Run(*opened.book, request);
    return 0;
  } catch (const NotAWorksheet& e) {
    // A sheet listed as a worksheet that reading finds to be none (a dialog
    // sheet): one of every sheet is skipped, as the listed kinds are.
    if (given == nullptr) return Fail(std::current_exception(), source);
    EraseProgress();
    std::fputs(Line(source, e.detail() + "; it was skipped").c_str(), stderr);
    return kSkipped;
  } catch (...) {
    return Fail(std::current_exception(), source);
  }
}

int CommandLine::ConvertOne() {
  const std::string source = SourceName(options_.files.front());
  LastWords words(Line(source, kCancelledBeforeWriting));
  try {
    OutputTarget target(options_.output, [&source] { CheckStop(source); });
    terminal_ = terminal_ && !target.on_terminal();
    ConversionRequest request;
    target.Into(request);
    const int status =
        Convert(options_.files.front(), std::move(request), "", !target.shares_stdout(), words);
    if (status == 0) target.Close();
    return status;
  } catch (...) {
    return Fail(std::current_exception(), source);
  }
}

int CommandLine::ConvertFile(const BatchItem& item, Counts& counts) {
  LastWords words(Line(SourceName(item.file), kCancelledBeforeWriting));
  const std::string document = item.stem + ".xml";
  ConversionRequest request;
  request.output = document;
  const int status = Convert(item.file, std::move(request), document, true, words);
  if (status == 0) ++counts.documents;
  if (status == 1) ++counts.failed_files;  // not a stop
  return status;
}

int CommandLine::ConvertSheets(const BatchItem& item, Counts& counts) {
  const std::string source = SourceName(item.file);
  LastWords words(Line(source, kCancelledBeforeWriting));
  StartProgress();
  int status = 0;
  try {
    OpenedWorkbook opened = Open(item.file, kCancelledBeforeWriting);
    const std::vector<SheetInfo>& sheets = opened.book->Sheets();
    const std::vector<std::string> names = SheetFileNames(sheets);
    for (std::size_t i = 0; i < sheets.size() && status <= 1; ++i) {
      CheckStop(source);
      if (sheets[i].kind != SheetKind::kWorksheet) {
        EraseProgress();
        std::fputs(Line(source, "the sheet \"" + sheets[i].name + "\" is a " +
                                    SheetKindName(sheets[i].kind) + "; it was skipped")
                       .c_str(),
                   stderr);
        continue;
      }
      ConversionRequest request;
      request.sheet = {SheetRequest::By::kNumber, "", i + 1};
      request.output = item.stem + "." + names[i] + ".xml";
      const std::string document = request.output;
      const int converted = Convert(item.file, std::move(request), document, true, words, &opened);
      if (converted == 0) ++counts.documents;
      status = std::max(status, converted);
    }
  } catch (...) {
    status = Fail(std::current_exception(), source);
  }
  if (status == 1) ++counts.failed_files;
  return status;
}

int CommandLine::ConvertBatch(const std::vector<BatchItem>& batch) {
  try {
    disk_->CreateFolders(options_.outdir);
  } catch (...) {
    return Fail(std::current_exception(), options_.outdir);
  }
  LastWords words(Line("", kBatchStopped));
  Counts counts;
  int status = 0;
  for (const BatchItem& item : batch) {
    if (StopSignal() != 0) {
      SayLast(Line(SourceName(item.file), kCancelledBeforeWriting));
      status = 128 + StopSignal();
      break;
    }
    const int converted =
        options_.all_sheets ? ConvertSheets(item, counts) : ConvertFile(item, counts);
    status = std::max(status, converted);
    if (converted > 1) break;
  }
  if (!options_.quiet && (batch.size() > 1 || options_.all_sheets)) {
    SayLast(Line("", Counted(counts.documents, "document", "documents") + " written, " +
                         Counted(counts.failed_files, "file", "files") + " failed"));
  }
  return status;
}

int CommandLine::ListSheets() {
  const std::string& file = options_.files.front();
  const std::string source = SourceName(file);
  LastWords words(Line(source, kListingCancelled));
  StartProgress();
  try {
    const OpenedWorkbook opened = Open(file, kListingCancelled);
    const std::string listing = SheetListing(*opened.book);
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
    batch = PlanBatch(options.outdir, options.files, options.keep_extension, &refusal);
    if (!refusal.empty()) return UsageError(refusal);
  }
  CatchStopSignals();
  CommandLine command_line(options, TakePasswordFromEnvironment());
  if (options.action == CommandLineOptions::Action::kListSheets) return command_line.ListSheets();
  return options.outdir.empty() ? command_line.ConvertOne() : command_line.ConvertBatch(batch);
}

}  // namespace zerova
