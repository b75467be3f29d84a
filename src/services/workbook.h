// Workbook: an open spreadsheet file: its sheets, listed in workbook order, and
// each read on demand by its index.
//
// Every format answers through this one interface (formats/registry.h opens
// them); which sheet a conversion reads is chosen in one place
// (conversion/sheet_choice.h), the active one unless the user names another.
#ifndef ZEROVA_SERVICES_WORKBOOK_H_
#define ZEROVA_SERVICES_WORKBOOK_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "services/worksheet.h"

namespace zerova {

// What a sheet holds, as its workbook lists it.
enum class SheetKind : std::uint8_t {
  kWorksheet,
  kChart,
  kMacro,   // an Excel 4.0 macro sheet
  kDialog,  // an Excel 5.0 dialog sheet
  kModule,  // a Visual Basic module (Excel 5.0/95)
  kOther,   // a kind the file names but this program does not know
};

// "worksheet", "chart", "macro sheet", "dialog sheet", "Visual Basic module", "sheet
// of an unknown type".
const char* SheetKindName(SheetKind kind);

enum class SheetVisibility : std::uint8_t { kVisible, kHidden, kVeryHidden };

struct SheetInfo {
  std::string name;  // UTF-8, as the workbook names it
  SheetKind kind = SheetKind::kWorksheet;
  SheetVisibility visibility = SheetVisibility::kVisible;
};

class Workbook {
 public:
  Workbook() = default;
  Workbook(const Workbook&) = delete;
  Workbook& operator=(const Workbook&) = delete;
  virtual ~Workbook() = default;

  // The sheets in workbook (tab) order; never empty. A format that finds its
  // sheets only by reading through its body (OpenDocument, XML Spreadsheet
  // 2003) reads it once at the first call. Throws ReadError when that reading
  // meets a damaged file, Cancelled when the user stops it.
  virtual const std::vector<SheetInfo>& Sheets() = 0;

  // The index of the active sheet: the one selected when the file was saved, or
  // the first when the file does not say or names one that is not there. Throws
  // as Sheets does.
  virtual std::size_t ActiveSheet() = 0;

  // Reads sheet `index` whole. Throws ReadError naming the file when the sheet is
  // damaged or is no worksheet after all, Cancelled when the user stops it.
  // REQUIRES: index < Sheets().size(), and Sheets()[index] is a worksheet.
  virtual std::unique_ptr<Worksheet> ReadSheet(std::size_t index) = 0;
};

}  // namespace zerova

#endif  // ZEROVA_SERVICES_WORKBOOK_H_
