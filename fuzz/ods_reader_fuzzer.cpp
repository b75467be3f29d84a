// libFuzzer target for the .ods reader: any bytes through ReadWorkbookBytes.
// Refusing the input with a zerova::Error is the expected outcome for most of
// them; a crash, a sanitizer report, a hang or a runaway allocation is a bug.
#include <cstddef>
#include <cstdint>
#include <span>

#include "services/error.h"
#include "services/spreadsheet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const auto sheet = zerova::ReadWorkbookBytes(std::span(data, size), "fuzz.ods");
    (void)sheet->Cell(1, 1);
    (void)sheet->Cell(1048576, 16384);
  } catch (const zerova::Error&) {
  }
  return 0;
}
