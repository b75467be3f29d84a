// services/: what the conversion run talks to, as interfaces: this spreadsheet
// service with its workbooks and worksheets (workbook.h, worksheet.h), the file
// system (file_system.h), the window hooks (window_hooks.h), reading progress
// (read_progress.h) and passwords (password_source.h); the cell value and the
// error family; and the local disk (local_file_system.cpp, workbook_file.h).
// Nothing here names a file format: formats/registry.h makes the real service.
//
// SpreadsheetService: opens a workbook, from a file or from bytes in memory.
#ifndef ZEROVA_SERVICES_SPREADSHEET_H_
#define ZEROVA_SERVICES_SPREADSHEET_H_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "services/read_progress.h"
#include "services/workbook.h"
#include "services/worksheet.h"

namespace zerova {

// The spreadsheet a conversion reads: a file, or bytes already in memory (a
// workbook that came on standard input).
struct SpreadsheetInput {
  std::string path;  // the file; for bytes, the name messages give them
  std::shared_ptr<const std::vector<std::uint8_t>> bytes;  // set: read these, not a file
};

class SpreadsheetService {
 public:
  SpreadsheetService() = default;
  SpreadsheetService(const SpreadsheetService&) = delete;
  SpreadsheetService& operator=(const SpreadsheetService&) = delete;
  virtual ~SpreadsheetService() = default;

  // Opens the workbook `input`: its format is told from its content, an
  // encrypted workbook is decrypted, and its list of sheets is read. Reading
  // reports to `progress` (null: nobody watches), also later, when the workbook
  // reads a sheet; `progress` must outlive the workbook.
  // Throws ReadError naming the file when it is missing, is not a workbook this
  // program reads, is damaged, or is encrypted and no password opens it;
  // Cancelled when `progress` answers a stop.
  virtual std::unique_ptr<Workbook> Open(const SpreadsheetInput& input, ReadProgress* progress) = 0;
};

}  // namespace zerova

#endif  // ZEROVA_SERVICES_SPREADSHEET_H_
