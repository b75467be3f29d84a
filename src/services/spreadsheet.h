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

namespace zerova {

// The active worksheet of an open workbook.
class Worksheet {
 public:
  virtual ~Worksheet() = default;

  // The value of the cell at 1-based (`row`, `column`). Any address is allowed:
  // a cell outside the sheet is empty. The reference stays valid as long as this
  // Worksheet lives.
  virtual const CellValue& Cell(std::int64_t row, std::int64_t column) const = 0;
};

class SpreadsheetService {
 public:
  SpreadsheetService() = default;
  SpreadsheetService(const SpreadsheetService&) = delete;
  SpreadsheetService& operator=(const SpreadsheetService&) = delete;
  virtual ~SpreadsheetService() = default;

  // Opens the workbook at `path` and reads its active worksheet.
  // Throws ReadError naming `path` when the file is missing, is not a workbook we
  // read, is damaged or encrypted, or its active sheet is not a worksheet.
  virtual std::unique_ptr<Worksheet> Open(const std::string& path) = 0;
};

// The real service: detects the file's format by its content and reads it.
std::unique_ptr<SpreadsheetService> NewSpreadsheetService();

// Reads a workbook held in memory; `name` stands for the file in error messages.
// This is the entry for tests and fuzzing: it touches no file.
// Throws ReadError as SpreadsheetService::Open does.
std::unique_ptr<Worksheet> ReadWorkbookBytes(std::span<const std::uint8_t> bytes,
                                             const std::string& name);

}  // namespace zerova

#endif  // ZEROVA_SERVICES_SPREADSHEET_H_
