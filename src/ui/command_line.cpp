#include "ui/command_line.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <optional>
#include <string>

#include "conversion/conversion_run.h"
#include "formats/registry.h"
#include "services/error.h"
#include "services/file_system.h"
#include "services/window_hooks.h"
#include "ui/command_line_passwords.h"
#include "ui/failure_message.h"
#include "ui/progress_line.h"
#include "zerova_version.h"  // ZEROVA_VERSION_TEXT, written at build time

namespace zerova {
namespace {

// The signal that asked the conversion to stop, or 0. Set by the handler only.
volatile std::sig_atomic_t stop_signal = 0;

void NoteStopSignal(int signal_number) { stop_signal = signal_number; }

// SIGINT and SIGTERM stop the conversion after the current line. The handler is
// reset by the first signal, so a second one ends the program at once.
void CatchStopSignals() {
  struct sigaction action {};
  action.sa_handler = NoteStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESETHAND;
  ::sigaction(SIGINT, &action, nullptr);
  ::sigaction(SIGTERM, &action, nullptr);
}

// The command line stands in for the window: the completion message goes to
// stdout, and the progress, on a terminal only, to stderr.
class CommandLineHooks final : public WindowHooks {
 public:
  CommandLineHooks(ProgressLine* progress, std::string source)
      : progress_(progress), source_(std::move(source)) {}

  void DisableConvert() override {}
  void ShowProgress() override {}
  void ShowLinesWritten(std::int64_t written, std::int64_t total) override {
    if (progress_ != nullptr) progress_->Update(written, total);
  }
  bool StopRequested() override { return stop_signal != 0; }
  void ShowCompletion(const std::string& message, const std::string& note) override {
    if (progress_ != nullptr) progress_->Erase();
    std::fputs(message.c_str(), stdout);
    std::fputc('\n', stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
      // The document is complete, but a script reading our output would not know.
      throw PosixError("standard output", "write the completion message", errno);
    }
    if (!note.empty()) std::fprintf(stderr, "zerova: %s\n", Error(source_, note).what());
  }
  void EndProgram() override {}

 private:
  ProgressLine* progress_;
  std::string source_;
};

constexpr const char* kUsage =
    "usage: zerova [--password-file PWFILE] [FILE]\n"
    "       zerova --from-menu\n"
    "\n"
    "Turns the active worksheet of a spreadsheet file into xmlstructure.xml in the\n"
    "current folder: row 1 holds the node labels, and under each label, down to the\n"
    "first empty cell, stand its values.\n"
    "\n"
    "  zerova FILE     convert FILE without a window; prints \"XML created successfully\"\n"
    "                  and exits 0, or prints one line naming what went wrong and exits 1;\n"
    "                  on a terminal, a conversion longer than a second shows its\n"
    "                  progress on stderr; an interrupt (SIGINT, SIGTERM) stops it,\n"
    "                  removes the incomplete document and exits 130 or 143\n"
    "  zerova          open the window to choose the file and convert it\n"
    "  --from-menu     open the window, in the home folder when the current folder\n"
    "                  is not writable (the desktop menu starts zerova this way)\n"
    "  --password-file PWFILE\n"
    "                  the password of a password-protected FILE is the first line of PWFILE\n"
    "  --help          show this text\n"
    "  --version       show the program's version\n"
    "\n"
    "Reads .xls (Excel 97-2003, 5.0/95 and 2.x-4.x), .xlsx and .xlsm (Office Open\n"
    "XML), .xlsb (Excel binary), .ods and .fods (OpenDocument) and XML Spreadsheet\n"
    "2003 workbooks, HTML tables, and CSV or tab-separated text, each recognised by\n"
    "its content, whatever the file's name.\n"
    "\n"
    "Password-protected workbooks: Excel's default password is tried first, silently;\n"
    "then the first line of PWFILE, else the environment variable ZEROVA_PASSWORD,\n"
    "else, when run from a terminal, zerova asks for the password there, without echo.\n"
    "No password is ever taken on the command line, where others could see it.\n";

constexpr char kPasswordFileOption[] = "--password-file";
constexpr std::size_t kPasswordFileLength = sizeof kPasswordFileOption - 1;

int Fail(const std::string& message) {
  std::fprintf(stderr, "zerova: %s\n", message.c_str());
  return 1;
}

}  // namespace

void PrintUsage(bool to_stderr) { std::fputs(kUsage, to_stderr ? stderr : stdout); }

int RunCommandLine(int argc, char** argv) {
  std::string path;
  std::string password_file;
  bool have_path = false;
  bool options_done = false;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (!options_done && std::strcmp(arg, "--") == 0) {
      options_done = true;
      continue;
    }
    if (!options_done && std::strncmp(arg, kPasswordFileOption, kPasswordFileLength) == 0 &&
        (arg[kPasswordFileLength] == '\0' || arg[kPasswordFileLength] == '=')) {
      const bool joined = arg[kPasswordFileLength] == '=';
      if (!joined && i + 1 == argc) {
        std::fprintf(stderr, "zerova: %s needs a file name\n", kPasswordFileOption);
        PrintUsage(true);
        return 2;
      }
      password_file = joined ? arg + kPasswordFileLength + 1 : argv[++i];
      continue;
    }
    if (!options_done && arg[0] == '-' && arg[1] != '\0') {
      if (argc == 2 && (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0)) {
        PrintUsage(false);
        return 0;
      }
      if (argc == 2 && std::strcmp(arg, "--version") == 0) {
        std::printf("zerova %s\n", ZEROVA_VERSION_TEXT);
        return 0;
      }
      std::fprintf(stderr, "zerova: unknown option '%s'\n", PrintableText(arg).c_str());
      PrintUsage(true);
      return 2;
    }
    if (have_path) {
      PrintUsage(true);
      return 2;
    }
    path = arg;
    have_path = true;
  }
  if (!have_path) {
    PrintUsage(true);
    return 2;
  }

  std::optional<ProgressLine> progress;
  if (::isatty(STDERR_FILENO) == 1) progress.emplace(stderr);
  const auto fail = [&progress](const std::string& message) {
    if (progress) progress->Erase();
    return Fail(message);
  };
  CatchStopSignals();
  try {
    CommandLinePasswords passwords(password_file);
    std::unique_ptr<SpreadsheetService> spreadsheets = NewSpreadsheetService(&passwords);
    std::unique_ptr<FileSystem> file_system = NewLocalFileSystem();
    CommandLineHooks hooks(progress ? &*progress : nullptr, path);
    ConversionRun run(*spreadsheets, *file_system, hooks);
    run.Run(path);
    return 0;
  } catch (...) {
    const FailureMessage failure = DescribeCommandLineFailure(std::current_exception(), path);
    fail(failure.line);
    return failure.cancelled && stop_signal != 0 ? 128 + stop_signal : 1;
  }
}

}  // namespace zerova
