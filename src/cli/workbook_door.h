// WorkbookDoor: the command line's one way into a workbook, for a conversion,
// the conversion of every sheet and the listing of sheets alike. In order: the
// passwords the command line gives (cli/passwords.h), the spreadsheet service
// (formats/registry.h), the input (a path, or a stream read whole:
// cli/stream_input.h), and the opening; a stop signal is heeded at every step.
#ifndef ZEROVA_CLI_WORKBOOK_DOOR_H_
#define ZEROVA_CLI_WORKBOOK_DOOR_H_

#include <memory>
#include <optional>
#include <string>

#include "cli/hooks.h"
#include "cli/passwords.h"
#include "cli/progress_line.h"
#include "services/secret.h"
#include "services/spreadsheet.h"
#include "services/workbook.h"

namespace zerova {

// How messages name FILE as the command line was given it: "standard input" for "-".
std::string SourceName(const std::string& file);

// An open workbook, with what it was opened with: reading its sheets may still
// ask for the passwords, the service and the stop. Members go in reverse order,
// the workbook first.
struct OpenedWorkbook {
  std::unique_ptr<CommandLinePasswords> passwords;
  std::unique_ptr<SpreadsheetService> spreadsheets;
  std::unique_ptr<StopOnSignal> reading;
  std::unique_ptr<Workbook> book;
};

class WorkbookDoor {
 public:
  // `password_file` is --password-file's value ("" none); `environment`, what
  // TakePasswordFromEnvironment gave, must outlive this object.
  WorkbookDoor(std::string password_file, const std::optional<SecretBytes>* environment)
      : password_file_(std::move(password_file)), environment_(environment) {}

  // Opens the workbook `file` names (kStandardStream: standard input), showing
  // how far reading has got on `progress` (null: nowhere), which must outlive
  // the result and is erased before a password prompt. A stop signal while
  // the workbook or its sheets are read throws Cancelled naming the source with
  // `stopped` as its detail; while a stream is read or a password awaited,
  // with kCancelledBeforeWriting. Throws ReadError naming the source when it
  // cannot be read, FileSystemError naming the password file.
  OpenedWorkbook Open(const std::string& file, ProgressLine* progress,
                      const std::string& stopped) const;

 private:
  // The spreadsheet `file` names: a path, or a stream read whole.
  static SpreadsheetInput Input(const std::string& file, ProgressLine* progress);

  std::string password_file_;
  const std::optional<SecretBytes>* environment_;
};

}  // namespace zerova

#endif  // ZEROVA_CLI_WORKBOOK_DOOR_H_
