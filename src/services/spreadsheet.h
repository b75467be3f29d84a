// SpreadsheetService: opens a workbook, from a file or from bytes in memory.
#ifndef ZEROVA_SERVICES_SPREADSHEET_H_
#define ZEROVA_SERVICES_SPREADSHEET_H_

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "services/read_progress.h"
#include "services/workbook.h"
#include "services/worksheet.h"

namespace zerova {

// The spreadsheet a conversion reads: a file, or bytes already in memory (a
// workbook that came on standard input, a pipe or a device).
struct SpreadsheetInput {
  std::string path;  // the file; for bytes, the name messages give them
  // Not empty: read these, not a file; `bytes_owner` keeps them alive.
  std::span<const std::uint8_t> bytes;
  std::shared_ptr<const void> bytes_owner;
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
