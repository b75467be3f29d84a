// libFuzzer target for the .xls reader: arbitrary bytes through ReadXls, which takes
// an OLE2 compound file or a bare record stream of any BIFF version, then the cells
// the conversion would read turned into text.
//
// A zerova::Error is a refusal, which is fine; any other exception, a crash, a
// sanitizer report, a hang or a runaway allocation is a finding.
#include <cstddef>
#include <cstdint>
#include <span>

#include "formats/xls/reader.h"
#include "services/error.h"
#include "walk_sheet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const auto sheet = zerova::ReadXls(std::span<const std::uint8_t>(data, size), "fuzz.xls");
    zerova::fuzz::WalkSheet(*sheet, 1 << 16, 1 << 17);
  } catch (const zerova::Error&) {
    // Refused: the reader named the fault.
  }
  return 0;
}
