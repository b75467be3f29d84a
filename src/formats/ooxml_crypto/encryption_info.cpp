#include "formats/ooxml_crypto/encryption_info.h"

#include "formats/containers/little_endian.h"
#include "formats/ooxml_crypto/agile_descriptor.h"
#include "services/error.h"

namespace zerova {
namespace {

// EncryptionHeader.Flags ([MS-OFFCRYPTO] 2.3.1).
constexpr std::uint32_t kFlagCryptoApi = 0x04;
constexpr std::uint32_t kFlagExternal = 0x10;
constexpr std::uint32_t kFlagAes = 0x20;

constexpr std::uint32_t kAes128 = 0x660E;
constexpr std::uint32_t kAes192 = 0x660F;
constexpr std::uint32_t kAes256 = 0x6610;
constexpr std::uint32_t kSha1 = 0x8004;

constexpr std::size_t kVersionSize = 4;
constexpr std::size_t kMinHeaderSize = 32;  // the fixed fields before the CSP name
constexpr std::size_t kSaltSize = 16;
constexpr std::size_t kVerifierSize = 16;
constexpr std::size_t kSha1Size = 20;
constexpr std::size_t kEncryptedSha1Size = 32;

class StandardReader {
 public:
  StandardReader(ByteView stream, const std::string& file) : stream_(stream), file_(file) {}

  StandardInfo Read() {
    Require(kVersionSize + 8);
    const std::uint32_t header_size = GetU32(stream_, kVersionSize + 4);
    std::size_t at = kVersionSize + 8;
    if (header_size < kMinHeaderSize || header_size > stream_.size() - at) {
      Fail("has a wrong header size");
    }
    StandardInfo info;
    info.key_bytes = KeyBytes(stream_.subspan(at, header_size));
    at += header_size;

    Require(at + 4 + kSaltSize + kVerifierSize + 4 + kEncryptedSha1Size);
    if (GetU32(stream_, at) != kSaltSize) Fail("has a wrong salt size");
    at += 4;
    info.salt.assign(stream_.begin() + at, stream_.begin() + at + kSaltSize);
    at += kSaltSize;
    info.encrypted_verifier.assign(stream_.begin() + at, stream_.begin() + at + kVerifierSize);
    at += kVerifierSize;
    if (GetU32(stream_, at) != kSha1Size) Fail("has a wrong verifier size");
    at += 4;
    info.encrypted_verifier_hash.assign(stream_.begin() + at,
                                        stream_.begin() + at + kEncryptedSha1Size);
    return info;
  }

 private:
  // The AES key size the EncryptionHeader names, checked against its algorithm.
  std::size_t KeyBytes(ByteView header) const {
    const std::uint32_t flags = GetU32(header, 0);
    const std::uint32_t algorithm = GetU32(header, 8);
    const std::uint32_t hash = GetU32(header, 12);
    const std::uint32_t key_bits = GetU32(header, 16);
    if ((flags & kFlagExternal) != 0 || (flags & kFlagCryptoApi) == 0 || (flags & kFlagAes) == 0 ||
        (hash != 0 && hash != kSha1)) {
      Unsupported();
    }
    std::uint32_t expected = 128;
    switch (algorithm) {
      case 0:
      case kAes128:
        break;
      case kAes192:
        expected = 192;
        break;
      case kAes256:
        expected = 256;
        break;
      default:
        Unsupported();
    }
    if (key_bits != 0 && key_bits != expected) Fail("has a wrong key length");
    return expected / 8;
  }

  void Require(std::size_t size) const {
    if (stream_.size() < size) Fail("is truncated");
  }

  [[noreturn]] void Fail(const char* what) const {
    throw Damaged(file_, kDamagedEncryptionHeader, std::string("EncryptionInfo ") + what);
  }

  [[noreturn]] void Unsupported() const {
    throw ReadError(file_, "the workbook is encrypted with a method this program does not read");
  }

  ByteView stream_;
  const std::string& file_;
};

}  // namespace

EncryptionInfo ParseEncryptionInfo(ByteView stream, const std::string& file,
                                   std::uint32_t max_spin_count) {
  if (stream.size() < kVersionSize) {
    throw Damaged(file, kDamagedEncryptionHeader, "EncryptionInfo is truncated");
  }
  const std::uint16_t major = GetU16(stream, 0);
  const std::uint16_t minor = GetU16(stream, 2);
  EncryptionInfo info;
  if (major == 4 && minor == 4) {
    constexpr std::size_t kXmlStart = kVersionSize + 4;  // after the reserved 0x40
    if (stream.size() < kXmlStart) {
      throw Damaged(file, kDamagedEncryptionHeader, "EncryptionInfo is truncated");
    }
    info.agile = true;
    info.agile_info = ParseAgileDescriptor(stream.subspan(kXmlStart), file, max_spin_count);
  } else if (major >= 2 && major <= 4 && minor == 2) {
    info.standard = StandardReader(stream, file).Read();
  } else {
    throw ReadError(file, "the workbook is encrypted with a method this program does not read");
  }
  return info;
}

}  // namespace zerova
