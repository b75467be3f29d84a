#include "cli/command_line.h"

#include <cerrno>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "cli/batch.h"
#include "cli/converter.h"
#include "cli/help.h"
#include "cli/options.h"
#include "cli/output_target.h"
#include "cli/passwords.h"
#include "cli/workbook_door.h"
#include "conversion/conversion_run.h"
#include "conversion/stop_texts.h"
#include "services/error.h"
#include "services/stop_signals.h"
#include "zerova_version.h"  // ZEROVA_VERSION_TEXT, written at build time

namespace zerova {
namespace {

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

// Lists the sheets of the one FILE.
int ListSheets(Converter& converter) {
  const std::string source = SourceName(converter.options().files.front());
  LastWords words(converter.Line(source, kListingCancelled));
  converter.StartProgress();
  try {
    const OpenedWorkbook opened =
        converter.Open(converter.options().files.front(), kListingCancelled);
    const std::string listing = SheetListing(*opened.book);
    converter.EraseProgress();
    PrintOut(listing, "the list of sheets");
    return 0;
  } catch (...) {
    return converter.Fail(std::current_exception(), source);
  }
}

// Converts the one FILE into the document -o names, or the default one.
int ConvertOne(Converter& converter) {
  const std::string& file = converter.options().files.front();
  const std::string source = SourceName(file);
  LastWords words(converter.Line(source, kCancelledBeforeWriting));
  try {
    OutputTarget target(converter.options().output, [&source] {
      if (StopSignal() != 0) throw Cancelled(source, kCancelledBeforeWriting);
    });
    if (target.on_terminal()) converter.DrawNoProgress();
    ConversionRequest request;
    target.Into(request);
    const int status =
        converter.Convert(file, std::move(request), "", !target.shares_stdout(), words);
    if (status == kConverted || status == kNoNodes) target.Close();
    return status;
  } catch (...) {
    return converter.Fail(std::current_exception(), source);
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
  CatchStopSignals();
  Converter converter(options, TakePasswordFromEnvironment());
  if (options.action == CommandLineOptions::Action::kListSheets) return ListSheets(converter);
  return options.outdir.empty() ? ConvertOne(converter) : ConvertBatch(converter);
}

}  // namespace zerova
