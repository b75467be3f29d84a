#include "services/xls_reader.h"

#include <algorithm>
#include <array>

#include "services/error.h"

namespace zerova {

bool LooksLikeOle2(std::span<const std::uint8_t> bytes) {
  static constexpr std::array<std::uint8_t, 8> kSignature = {0xD0, 0xCF, 0x11, 0xE0,
                                                             0xA1, 0xB1, 0x1A, 0xE1};
  return bytes.size() >= kSignature.size() &&
         std::equal(kSignature.begin(), kSignature.end(), bytes.begin());
}

std::unique_ptr<Worksheet> ReadXls(std::span<const std::uint8_t>, const std::string& name) {
  throw ReadError(name, "the .xls reader is not built yet");
}

}  // namespace zerova
