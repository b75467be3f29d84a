// libFuzzer target for the .ods and .fods reader: any bytes through OpenOds (a zip) or OpenFlatOds,
// then every worksheet it lists, walked as the conversion walks it (fuzz/walk_sheet.h). Refusing
// the input with a zerova::Error is the expected outcome for most of them; a crash, a sanitizer
// report, a hang or a runaway allocation is a bug.
#include <cstddef>
#include <cstdint>

#include "formats/containers/zip_archive.h"
#include "formats/ods/reader.h"
#include "walk_sheet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (zerova::LooksLikeZip({data, size})) {
    zerova::fuzz::FuzzWorkbook(data, size, "fuzz.ods", zerova::OpenOds);
  } else {
    (void)zerova::LooksLikeFlatOds({data, size});
    zerova::fuzz::FuzzWorkbook(data, size, "fuzz.fods", zerova::OpenFlatOds);
  }
  return 0;
}
