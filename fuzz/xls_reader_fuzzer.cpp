// libFuzzer target for the .xls reader: any bytes through OpenXls, then every
// worksheet it lists, walked as the conversion walks it (fuzz/walk_sheet.h).
// Refusing the input with a zerova::Error is the expected outcome for most of
// them; a crash, a sanitizer report, a hang or a runaway allocation is a bug.
#include <cstddef>
#include <cstdint>

#include "formats/xls/reader.h"
#include "walk_sheet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  zerova::fuzz::FuzzWorkbook(data, size, "fuzz.xls", zerova::OpenXls, 1 << 16, 1 << 17);
  return 0;
}
