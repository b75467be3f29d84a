// The conversion's walk, for the fuzz targets: labels along row 1, values down
// each column to the first empty cell, read with the sheet's column cursor and
// each cell turned into a value line. Every cell the cursor answers is checked
// against Cell at the same address; a difference stops the process.
#ifndef ZEROVA_FUZZ_WALK_SHEET_H_
#define ZEROVA_FUZZ_WALK_SHEET_H_

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "conversion/document/line_builders.h"
#include "formats/containers/workbook_source.h"
#include "services/error.h"
#include "services/workbook.h"
#include "services/worksheet.h"

namespace zerova::fuzz {

inline bool SameCell(const CellView& a, const CellView& b) {
  return a.kind == b.kind && a.text == b.text && a.boolean == b.boolean && a.error == b.error &&
         a.date_system == b.date_system &&
         std::bit_cast<std::uint64_t>(a.number) == std::bit_cast<std::uint64_t>(b.number);
}

// Walks at most `max_columns` columns and `max_rows` rows of each, so that a
// sheet of a few repeated runs, which may reach a million rows, stays quick.
inline void WalkSheet(const Worksheet& sheet, std::int64_t max_columns, std::int64_t max_rows) {
  std::string out;
  for (std::int64_t column = 1; column <= max_columns; ++column) {
    const auto cells = sheet.CursorAt(1, column);
    std::int64_t row = 1;
    for (; row <= max_rows; ++row, cells->Down()) {
      const CellView cell = cells->Cell();
      if (!SameCell(cell, sheet.Cell(row, column))) std::abort();
      if (cell.IsEmpty()) break;
      out.clear();
      ValueLine(out, cell);
    }
    if (row == 1) break;
  }
}

// Opens `data` with a format's `open` and walks every worksheet it lists (up to
// eight), at most `max_columns` by `max_rows` each. A refusal with a
// zerova::Error is the expected outcome for most inputs.
template <typename Open>
void FuzzWorkbook(const std::uint8_t* data, std::size_t size, const char* name, Open open,
                  std::int64_t max_columns = 64, std::int64_t max_rows = 4096) {
  try {
    const auto book = open(WorkbookSource::View({data, size}, name));
    if (book == nullptr) return;
    const auto& sheets = book->Sheets();
    (void)book->ActiveSheet();
    for (std::size_t i = 0; i < sheets.size() && i < 8; ++i) {
      if (sheets[i].kind != SheetKind::kWorksheet) continue;
      try {
        const auto sheet = book->ReadSheet(i);
        WalkSheet(*sheet, max_columns, max_rows);
        (void)sheet->Cell(1048576, 16384);
      } catch (const Error&) {
      }
    }
  } catch (const Error&) {
  }
}

}  // namespace zerova::fuzz

#endif  // ZEROVA_FUZZ_WALK_SHEET_H_
