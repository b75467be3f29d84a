// services/: what the conversion run talks to, and the real services it is handed:
// this spreadsheet interface, the file system (file_system.h) and the window hooks
// (window_hooks.h), the cell value and the error family, the local file system, and
// format detection (spreadsheet_service.cpp), the one place that knows the readers
// under formats/.
//
// The spreadsheet service: opens a workbook and answers the cells of its active
// worksheet.
//
// A reader parses the whole active sheet when it opens the workbook, so every
// fault of the file is found before the conversion writes anything; after a
// successful Open, reading a cell never fails.
#ifndef ZEROVA_SERVICES_SPREADSHEET_H_
#define ZEROVA_SERVICES_SPREADSHEET_H_

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "services/cell_value.h"
#include "services/password_source.h"

namespace zerova {

// Reads one column of a worksheet downward, a row at a time. It must not outlive
// the worksheet that made it.
class ColumnCursor {
 public:
  virtual ~ColumnCursor() = default;

  // The cell at the cursor's row. Its text stays valid as long as the worksheet lives.
  virtual CellView Cell() const = 0;

  // Moves to the next row down.
  virtual void Down() = 0;
};

// The active worksheet of an open workbook.
class Worksheet {
 public:
  virtual ~Worksheet() = default;

  // The value of the cell at 1-based (`row`, `column`). Any address is allowed:
  // a cell outside the sheet is empty. The view's text stays valid as long as
  // this Worksheet lives.
  virtual CellView Cell(std::int64_t row, std::int64_t column) const = 0;

  // A cursor on (`row`, `column`), answering what Cell would for each row it
  // moves down to. This default asks Cell; a sheet built for the walk answers each
  // step in constant time.
  virtual std::unique_ptr<ColumnCursor> CursorAt(std::int64_t row, std::int64_t column) const;
};

class SpreadsheetService {
 public:
  SpreadsheetService() = default;
  SpreadsheetService(const SpreadsheetService&) = delete;
  SpreadsheetService& operator=(const SpreadsheetService&) = delete;
  virtual ~SpreadsheetService() = default;

  // Opens the workbook at `path` and reads its active worksheet; an encrypted
  // workbook is decrypted first (see NewSpreadsheetService).
  // Throws ReadError naming `path` when the file is missing, is not a workbook we
  // read, is damaged, is encrypted and no password opens it, or its active sheet
  // is not a worksheet.
  virtual std::unique_ptr<Worksheet> Open(const std::string& path) = 0;
};

// The real service: detects the file's format by its content and reads it.
// A password-protected workbook is opened with Excel's default password when that
// fits, else with a password from `passwords` (null: none to ask), which must
// outlive the service. When none fits, Open throws ReadError "FILE: the workbook
// is password-protected and needs a password" (no password was given) or "...and
// the password is wrong" (the last one given was wrong).
std::unique_ptr<SpreadsheetService> NewSpreadsheetService(PasswordSource* passwords = nullptr);

// Reads a workbook held in memory; `name` stands for the file in error messages
// and in the questions to `passwords`. This is the entry for tests and fuzzing: it
// touches no file. Throws ReadError as SpreadsheetService::Open does.
std::unique_ptr<Worksheet> ReadWorkbookBytes(std::span<const std::uint8_t> bytes,
                                             const std::string& name,
                                             PasswordSource* passwords = nullptr);

}  // namespace zerova

#endif  // ZEROVA_SERVICES_SPREADSHEET_H_
