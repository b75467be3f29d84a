#include "cli/converter.h"

#include <cstdio>

#include "cli/hooks.h"
#include "conversion/document/line_builders.h"
#include "conversion/failure_message.h"
#include "conversion/stop_texts.h"
#include "services/error.h"
#include "services/paths.h"
#include "services/process.h"

namespace zerova {
namespace {

// How the command line lets the user do what some failures ask for.
constexpr FailureHints kHints = {
    "; give it with --password-file PWFILE or in the environment variable ZEROVA_PASSWORD",
    "; give -o FILE to write the document whole, without the scratch file",
    "; give --sheet=NAME or --sheet-number=N; --list-sheets lists the sheets",
};

int Rank(int status) {
  if (status >= 128) return 3;
  if (status == kFailed) return 2;
  return status == kNoNodes ? 1 : 0;
}

}  // namespace

int Worse(int a, int b) { return Rank(b) > Rank(a) ? b : a; }

Converter::Converter(const CommandLineOptions& options, std::optional<SecretBytes> password)
    : options_(options),
      terminal_(IsTerminal(stderr)),
      disk_(NewLocalFileSystem()),
      environment_password_(std::move(password)),
      door_(options.password_file, &environment_password_) {}

std::string Converter::Line(const std::string& file, const std::string& detail) const {
  return StderrLine(terminal_ ? "\r" : "", file, detail);
}

void Converter::Note(const std::string& file, const std::string& detail) {
  EraseProgress();
  std::fputs(Line(file, detail).c_str(), stderr);
}

int Converter::Fail(const std::exception_ptr& failure, const std::string& source) {
  EraseProgress();
  const FailureMessage message = DescribeFailure(failure, source, kHints);
  SayLast("zerova: " + message.line + "\n");
  return message.cancelled && StopSignal() != 0 ? 128 + StopSignal() : kFailed;
}

void Converter::CheckDocumentPlace(const std::string& file, const ConversionRequest& request) {
  if (request.output_stream != nullptr) return;
  const std::string document = DocumentName(request);
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

int Converter::Convert(const std::string& file, ConversionRequest request,
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
    request.first_filled_cell = options_.first_filled_cell;
    CommandLineHooks hooks(progress(), words, terminal_ ? "\r" : "", DocumentName(request), success,
                           announce && !options_.quiet);
    ConversionRun run(*opened.spreadsheets, *disk_, hooks);
    run.Run(*opened.book, request);
    return options_.fail_empty && run.nodes() == 0 ? kNoNodes : kConverted;
  } catch (const NotAWorksheet& e) {
    // A sheet listed as a worksheet that reading finds to be none (a dialog
    // sheet): one of every sheet is skipped, as the listed kinds are.
    if (given == nullptr) return Fail(std::current_exception(), source);
    Note(source, e.detail() + "; it was skipped");
    return kSkipped;
  } catch (...) {
    return Fail(std::current_exception(), source);
  }
}

}  // namespace zerova
