// libFuzzer target for the XML Spreadsheet 2003 reader: any bytes through OpenXml2003, then every
// worksheet it lists, walked as the conversion walks it (fuzz/walk_sheet.h).
// Refusing the input with a zerova::Error is the expected outcome for most of
// them; a crash, a sanitizer report, a hang or a runaway allocation is a bug.
#include <cstddef>
#include <cstdint>

#include "formats/xml2003/reader.h"
#include "walk_sheet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  (void)zerova::LooksLikeXml2003({data, size});
  zerova::fuzz::FuzzWorkbook(data, size, "fuzz.xml", zerova::OpenXml2003);
  return 0;
}
