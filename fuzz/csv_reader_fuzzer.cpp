// libFuzzer target for the delimited-text reader: any bytes through OpenDelimitedText, which reads
// any bytes as some text, then every worksheet it lists, walked as the conversion walks it
// (fuzz/walk_sheet.h). Refusing the input with a zerova::Error is the expected outcome for most of
// them; a crash, a sanitizer report, a hang or a runaway allocation is a bug.
#include <cstddef>
#include <cstdint>

#include "formats/csv/reader.h"
#include "walk_sheet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  (void)zerova::LooksLikeDelimitedText({data, size});
  zerova::fuzz::FuzzWorkbook(data, size, "fuzz.csv", zerova::OpenDelimitedText);
  return 0;
}
