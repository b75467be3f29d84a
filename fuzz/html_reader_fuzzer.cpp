// libFuzzer target for the HTML reader: any bytes through OpenHtml, then every
// worksheet it lists, walked as the conversion walks it (fuzz/walk_sheet.h).
// Refusing the input with a zerova::Error is the expected outcome for most of
// them; a crash, a sanitizer report, a hang or a runaway allocation is a bug.
#include <cstddef>
#include <cstdint>

#include "formats/html/reader.h"
#include "walk_sheet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  (void)zerova::LooksLikeHtml({data, size});
  zerova::fuzz::FuzzWorkbook(data, size, "fuzz.html", zerova::OpenHtml);
  return 0;
}
