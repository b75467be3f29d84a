// libFuzzer target for the delimited-text reader: any bytes, through the sniffer
// and ReadDelimitedText, which reads any bytes as some text, then the cells the
// conversion would read (fuzz/walk_sheet.h). A crash, a sanitizer
// report, a hang or a runaway allocation is a bug.
#include <cstddef>
#include <cstdint>
#include <span>

#include "formats/csv/reader.h"
#include "services/error.h"
#include "walk_sheet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  (void)zerova::LooksLikeDelimitedText(bytes);
  try {
    const auto sheet = zerova::ReadDelimitedText(bytes, "fuzz.csv");
    zerova::fuzz::WalkSheet(*sheet, 64, 4096);
    (void)sheet->Cell(1048576, 16384);
  } catch (const zerova::Error&) {
  }
  return 0;
}
