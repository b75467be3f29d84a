// libFuzzer target for the HTML reader: any bytes, through the sniffer and
// ReadHtml, then the cells the conversion would read (fuzz/walk_sheet.h). Refusing the input with a
// zerova::Error (a page without a table) is an expected outcome; a crash, a sanitizer report, a
// hang or a runaway allocation is a bug.
#include <cstddef>
#include <cstdint>
#include <span>

#include "formats/html/reader.h"
#include "services/error.h"
#include "walk_sheet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  (void)zerova::LooksLikeHtml(bytes);
  try {
    const auto sheet = zerova::ReadHtml(bytes, "fuzz.html");
    zerova::fuzz::WalkSheet(*sheet, 64, 4096);
    (void)sheet->Cell(1048576, 16384);
  } catch (const zerova::Error&) {
  }
  return 0;
}
