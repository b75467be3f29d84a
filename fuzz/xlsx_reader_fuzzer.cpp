// libFuzzer target for the .xlsx reader: any bytes, as a zip, through ReadXlsx, then the
// cells the conversion would read, as fuzz/walk_sheet.h walks them.
// Refusing the input with a zerova::Error is the expected outcome for most of
// them; a crash, a sanitizer report, a hang or a runaway allocation is a bug.
#include <cstddef>
#include <cstdint>
#include <span>

#include "formats/common/zip_archive.h"
#include "formats/xlsx/reader.h"
#include "services/error.h"
#include "walk_sheet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    zerova::ZipArchive zip(std::span(data, size), "fuzz.xlsx");
    const auto sheet = zerova::ReadXlsx(zip);
    zerova::fuzz::WalkSheet(*sheet, 64, 4096);
  } catch (const zerova::Error&) {
  }
  return 0;
}
