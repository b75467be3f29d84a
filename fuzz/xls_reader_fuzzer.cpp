// libFuzzer target for the .xls reader: arbitrary bytes through ReadXls, which takes
// an OLE2 compound file or a bare record stream of any BIFF version, then the cells
// the conversion would read turned into text.
//
// A zerova::Error is a refusal, which is fine; any other exception, a crash, a
// sanitizer report, a hang or a runaway allocation is a finding.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "conversion/cell_text.h"
#include "conversion/xml_escape.h"
#include "formats/xls/reader.h"
#include "services/error.h"

namespace {

// Walks the sheet as the conversion does: labels along row 1, values down each
// column to the first empty cell.
void WalkSheet(const zerova::Worksheet& sheet) {
  std::string out;
  for (std::int64_t column = 1; !sheet.Cell(1, column).IsEmpty(); ++column) {
    for (std::int64_t row = 1; !sheet.Cell(row, column).IsEmpty(); ++row) {
      out.clear();
      zerova::AppendXmlEscaped(zerova::CellText(sheet.Cell(row, column)), out);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const auto sheet = zerova::ReadXls(std::span<const std::uint8_t>(data, size), "fuzz.xls");
    WalkSheet(*sheet);
  } catch (const zerova::Error&) {
    // Refused: the reader named the fault.
  }
  return 0;
}
