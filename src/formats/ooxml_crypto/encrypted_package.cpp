#include "formats/ooxml_crypto/encrypted_package.h"

#include <algorithm>
#include <array>

#include "formats/containers/little_endian.h"
#include "formats/containers/ole2_container.h"
#include "formats/containers/zip_archive.h"
#include "formats/containers/zip_local_headers.h"
#include "formats/crypto/cipher.h"
#include "formats/crypto/password_trial.h"
#include "formats/ooxml_crypto/package_key.h"
#include "services/error.h"

namespace zerova {
namespace {

constexpr std::size_t kSizeField = 8;       // the package's size, before its bytes
constexpr std::size_t kSegmentSize = 4096;  // of Agile encryption's CBC segments

// The block keys of the data integrity check ([MS-OFFCRYPTO] 2.3.4.14).
constexpr std::array<std::uint8_t, 8> kHmacKeyBlock = {0x5F, 0xB2, 0xAD, 0x01,
                                                       0x0C, 0xB9, 0xE1, 0xF6};
constexpr std::array<std::uint8_t, 8> kHmacValueBlock = {0xA0, 0x67, 0x7F, 0x02,
                                                         0xB2, 0x2C, 0x84, 0x33};

[[noreturn]] void CutShort(const std::string& file) {
  throw Damaged(file, "the encrypted workbook inside it is cut short",
                "the EncryptedPackage stream is shorter than the size it gives");
}

std::array<std::uint8_t, 4> LittleEndian32(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

// The IV made from keyData's salt and `block` ([MS-OFFCRYPTO] 2.3.4.12).
SecretBytes DataIv(const AgileKeyParameters& data, ByteView block) {
  SecretBytes iv = Digest(data.hash, {data.salt, block});
  iv.resize(data.block_bytes, 0x36);
  return iv;
}

// The HMAC the descriptor stores against the one of the whole encrypted stream.
void CheckIntegrity(const AgileInfo& info, const SecretBytes& key, ByteView stream,
                    const std::string& file, ReadProgress* progress) {
  const std::size_t size = DigestSize(info.data.hash);
  const AesDecryption aes(key);
  SecretBytes hmac_key(info.encrypted_hmac_key.begin(), info.encrypted_hmac_key.end());
  aes.Cbc(DataIv(info.data, kHmacKeyBlock), hmac_key);
  hmac_key.resize(size);
  SecretBytes expected(info.encrypted_hmac_value.begin(), info.encrypted_hmac_value.end());
  aes.Cbc(DataIv(info.data, kHmacValueBlock), expected);
  const SecretBytes got = HmacDigest(info.data.hash, hmac_key, stream, progress);
  if (!std::equal(got.begin(), got.end(), expected.begin(), expected.begin() + size)) {
    throw Damaged(file, "the encrypted workbook fails its integrity check",
                  "the HMAC of the EncryptedPackage stream does not match its descriptor's");
  }
}

void DecryptSegments(const AgileInfo& info, const SecretBytes& key, std::span<std::uint8_t> data,
                     ReadProgress* progress) {
  const AesDecryption aes(key);
  StopCheck check(progress, InputMeter::kStep / kSegmentSize);
  for (std::size_t at = 0, segment = 0; at < data.size(); at += kSegmentSize, ++segment) {
    check.Tick();
    const std::size_t n = std::min(kSegmentSize, data.size() - at);
    aes.Cbc(DataIv(info.data, LittleEndian32(static_cast<std::uint32_t>(segment))),
            data.subspan(at, n));
  }
}

// AES-ECB over `data`, 64 KB at a time, asking `progress` whether to stop in between.
void DecryptBlocks(const SecretBytes& key, std::span<std::uint8_t> data, ReadProgress* progress) {
  const AesDecryption aes(key);
  StopCheck check(progress, 1);
  for (std::size_t at = 0; at < data.size(); at += InputMeter::kStep) {
    check.Tick();
    aes.Ecb(data.subspan(at, std::min<std::size_t>(InputMeter::kStep, data.size() - at)));
  }
}

}  // namespace

bool IsEncryptedPackage(std::span<const std::uint8_t> bytes, const std::string& file) {
  const Ole2Container container(bytes, file);
  return container.Has("EncryptionInfo") || container.Has("EncryptedPackage");
}

std::vector<std::uint8_t> DecryptPackage(std::span<const std::uint8_t> bytes,
                                         const std::string& file, PasswordSource* passwords,
                                         ReadProgress* progress) {
  const Ole2Container container(bytes, file, progress);
  if (!container.Has("EncryptionInfo")) {
    throw Damaged(file, kDamagedEncryptionHeader, "no EncryptionInfo stream");
  }
  if (!container.Has("EncryptedPackage")) {
    throw Damaged(file, "the encrypted workbook inside it is missing",
                  "no EncryptedPackage stream");
  }
  const std::vector<std::uint8_t> info = container.Read("EncryptionInfo");
  std::vector<std::uint8_t> package = container.ReadStored("EncryptedPackage");
  DecryptPackageStreams(info, package, file, passwords, kMaxSpinCount, progress);
  if (LooksLikeZip(package) && !HasEndOfCentralDirectory(package)) {
    package = ZipFromLocalHeaders(package, file, ExpansionBudget(package.size()));
  }
  return package;
}

void DecryptPackageStreams(ByteView info_stream, std::vector<std::uint8_t>& package,
                           const std::string& file, PasswordSource* passwords,
                           std::uint32_t max_spin_count, ReadProgress* progress) {
  const EncryptionInfo info = ParseEncryptionInfo(info_stream, file, max_spin_count);
  if (package.size() < kSizeField) CutShort(file);
  const std::uint64_t size = GetU32(package, 0) | (std::uint64_t{GetU32(package, 4)} << 32);
  const std::size_t stored = package.size() - kSizeField;
  if (size > stored) CutShort(file);
  const std::size_t block = AesDecryption::kBlockSize;
  const std::size_t encrypted = (static_cast<std::size_t>(size) + block - 1) / block * block;
  if (encrypted > stored) CutShort(file);

  SecretBytes key;
  TryPasswords(
      passwords, file,
      [&](ByteView password) {
        std::optional<SecretBytes> fits =
            info.agile ? AgilePackageKey(info.agile_info, password, progress)
                       : StandardPackageKey(info.standard, password, progress);
        if (!fits) return false;
        key = std::move(*fits);
        return true;
      },
      progress);

  const std::span<std::uint8_t> data(package.data() + kSizeField, encrypted);
  if (info.agile) {
    CheckIntegrity(info.agile_info, key, package, file, progress);
    DecryptSegments(info.agile_info, key, data, progress);
  } else {
    DecryptBlocks(key, data, progress);
  }
  package.erase(package.begin(), package.begin() + kSizeField);
  package.resize(static_cast<std::size_t>(size));
}

}  // namespace zerova
