// libFuzzer target for the XML Spreadsheet 2003 reader: any bytes, through the
// sniffer and ReadXml2003. Refusing the input with a zerova::Error is the expected
// outcome for most of them; a crash, a sanitizer report, a hang or a runaway
// allocation is a bug.
#include <cstddef>
#include <cstdint>
#include <span>

#include "formats/xml2003/reader.h"
#include "services/error.h"
#include "walk_sheet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  (void)zerova::LooksLikeXml2003(bytes);
  try {
    const auto sheet = zerova::ReadXml2003(bytes, "fuzz.xml");
    zerova::fuzz::WalkSheet(*sheet, 64, 4096);
    (void)sheet->Cell(1048576, 16384);
  } catch (const zerova::Error&) {
  }
  return 0;
}
