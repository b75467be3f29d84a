// libFuzzer target for the .ods reader: any bytes, as a zip through ReadOds when
// they start like one, else as a flat document through ReadFlatOds, then the cells
// the conversion would read, as fuzz/walk_sheet.h walks them.
// Refusing the input with a zerova::Error is the expected outcome for most of
// them; a crash, a sanitizer report, a hang or a runaway allocation is a bug.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "formats/common/zip_archive.h"
#include "formats/ods/reader.h"
#include "services/error.h"
#include "walk_sheet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  try {
    std::unique_ptr<zerova::Worksheet> sheet;
    if (zerova::LooksLikeZip(bytes)) {
      zerova::ZipArchive zip(bytes, "fuzz.ods");
      sheet = zerova::ReadOds(zip);
    } else {
      (void)zerova::LooksLikeFlatOds(bytes);
      sheet = zerova::ReadFlatOds(bytes, "fuzz.fods");
    }
    zerova::fuzz::WalkSheet(*sheet, 64, 4096);
    (void)sheet->Cell(1048576, 16384);
  } catch (const zerova::Error&) {
  }
  return 0;
}
