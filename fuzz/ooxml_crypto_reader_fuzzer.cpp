// libFuzzer target for encrypted OOXML packages: the EncryptionInfo header (Standard
// and Agile, the descriptor's XML), the key derivation with the default password,
// the integrity check and the decryption of the EncryptedPackage stream.
//
// Input: a 32-bit little-endian length, that many bytes of EncryptionInfo, then the
// EncryptedPackage stream (fuzz/seeds/ooxml_crypto/, written by
// tests/data/make_encrypted_fixtures.py). Spin counts are capped lower than in the
// program, so a run spends its time on the formats rather than on hashing.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "formats/ooxml_crypto/encrypted_package.h"
#include "services/error.h"

namespace {

constexpr std::uint32_t kFuzzSpinCount = 1000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  const std::uint32_t info_size =
      data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<std::uint32_t>(data[3]) << 24);
  if (info_size > size - 4) return 0;
  const zerova::ByteView info(data + 4, info_size);
  std::vector<std::uint8_t> package(data + 4 + info_size, data + size);
  try {
    zerova::DecryptPackageStreams(info, package, "fuzz.xlsx", nullptr, kFuzzSpinCount);
  } catch (const zerova::Error&) {
    // A refusal is a correct answer to a damaged or unknown file.
  }
  return 0;
}
