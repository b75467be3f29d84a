#include "formats/ooxml_crypto/package_key.h"

#include <algorithm>
#include <array>

#include "formats/crypto/cipher.h"
#include "formats/crypto/password_trial.h"

namespace zerova {
namespace {

constexpr std::uint32_t kStandardRounds = 50000;

// The block keys of Agile encryption ([MS-OFFCRYPTO] 2.3.4.13).
constexpr std::array<std::uint8_t, 8> kVerifierInputBlock = {0xFE, 0xA7, 0xD2, 0x76,
                                                             0x3B, 0x4B, 0x9E, 0x79};
constexpr std::array<std::uint8_t, 8> kVerifierValueBlock = {0xD7, 0xAA, 0x0F, 0x6D,
                                                             0x30, 0x61, 0x34, 0x4E};
constexpr std::array<std::uint8_t, 8> kKeyValueBlock = {0x14, 0x6E, 0x0B, 0xE7,
                                                        0xAB, 0xAC, 0xD0, 0xD6};

// `bytes` cut or padded with 0x36 to `size` ([MS-OFFCRYPTO] 2.3.4.11).
SecretBytes Fit(SecretBytes bytes, std::size_t size) {
  bytes.resize(size, 0x36);
  return bytes;
}

bool SamePrefix(const SecretBytes& a, const SecretBytes& b, std::size_t size) {
  return a.size() >= size && b.size() >= size && std::equal(a.begin(), a.begin() + size, b.begin());
}

// H(salt || password), rehashed `rounds` times with a counter.
SecretBytes IteratedHash(HashAlgorithm hash, ByteView salt, ByteView password, std::uint32_t rounds,
                         ReadProgress* stop) {
  SecretBytes h = Digest(hash, {salt, PasswordUtf16(password)});
  RehashWithCounter(hash, h, rounds, stop);
  return h;
}

SecretBytes CbcDecrypt(ByteView key, ByteView iv, ByteView data) {
  SecretBytes plain(data.begin(), data.end());
  AesDecryption(key).Cbc(iv, plain);
  return plain;
}

}  // namespace

std::optional<SecretBytes> StandardPackageKey(const StandardInfo& info, ByteView password,
                                              ReadProgress* stop) {
  SecretBytes h = IteratedHash(HashAlgorithm::kSha1, info.salt, password, kStandardRounds, stop);
  const std::array<std::uint8_t, 4> block0 = {0, 0, 0, 0};
  const SecretBytes final_hash = Digest(HashAlgorithm::kSha1, {h, block0});
  // The key derivation of CryptoAPI's CryptDeriveKey ([MS-OFFCRYPTO] 2.3.4.7).
  SecretBytes inner(64, 0x36), outer(64, 0x5C);
  for (std::size_t i = 0; i < final_hash.size(); ++i) {
    inner[i] ^= final_hash[i];
    outer[i] ^= final_hash[i];
  }
  SecretBytes key = Digest(HashAlgorithm::kSha1, {inner});
  const SecretBytes second = Digest(HashAlgorithm::kSha1, {outer});
  key.insert(key.end(), second.begin(), second.end());
  key.resize(info.key_bytes);

  SecretBytes verifier(info.encrypted_verifier.begin(), info.encrypted_verifier.end());
  SecretBytes expected(info.encrypted_verifier_hash.begin(), info.encrypted_verifier_hash.end());
  const AesDecryption aes(key);
  aes.Ecb(verifier);
  aes.Ecb(expected);
  const SecretBytes got = Digest(HashAlgorithm::kSha1, {verifier});
  if (!SamePrefix(got, expected, got.size())) return std::nullopt;
  return key;
}

std::optional<SecretBytes> AgilePackageKey(const AgileInfo& info, ByteView password,
                                           ReadProgress* stop) {
  const AgileKeyParameters& p = info.password;
  const SecretBytes h = IteratedHash(p.hash, p.salt, password, info.spin_count, stop);
  const auto key_for = [&](ByteView block) { return Fit(Digest(p.hash, {h, block}), p.key_bytes); };
  const SecretBytes iv = Fit(SecretBytes(p.salt.begin(), p.salt.end()), p.block_bytes);

  SecretBytes input =
      CbcDecrypt(key_for(kVerifierInputBlock), iv, info.encrypted_verifier_hash_input);
  input.resize(p.salt.size());
  const SecretBytes got = Digest(p.hash, {input});
  const SecretBytes expected =
      CbcDecrypt(key_for(kVerifierValueBlock), iv, info.encrypted_verifier_hash_value);
  if (!SamePrefix(got, expected, got.size())) return std::nullopt;

  SecretBytes key = CbcDecrypt(key_for(kKeyValueBlock), iv, info.encrypted_key_value);
  key.resize(info.data.key_bytes);
  return key;
}

}  // namespace zerova
