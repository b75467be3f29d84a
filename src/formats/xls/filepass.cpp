#include "formats/xls/filepass.h"

#include <algorithm>
#include <array>
#include <functional>

#include "formats/containers/little_endian.h"
#include "formats/crypto/cipher.h"
#include "formats/crypto/password_trial.h"
#include "formats/xls/xor_obfuscation.h"
#include "services/error.h"

namespace zerova {
namespace {

constexpr std::uint16_t kMethodXor = 0;
constexpr std::uint16_t kMethodRc4 = 1;
constexpr std::size_t kRc4BlockSize = 1024;  // the key changes every 1024 bytes of the stream
constexpr std::size_t kSaltSize = 16;
constexpr std::uint32_t kAlgorithmRc4 = 0x6801;
constexpr std::uint32_t kAlgorithmSha1 = 0x8004;

std::array<std::uint8_t, 4> LittleEndian32(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

class XorDecryptor final : public RecordDecryptor {
 public:
  explicit XorDecryptor(const std::array<std::uint8_t, 16>& array) : array_(array) {}
  ~XorDecryptor() override { WipeBytes(array_.data(), array_.size()); }

  // The array entry of a body's first byte is (its offset + its size) mod 16.
  void DecryptBody(std::span<std::uint8_t> stream, std::size_t body, std::size_t size,
                   std::size_t clear) override {
    if (clear >= size) return;
    XorDecrypt(array_, body + size + clear, stream.subspan(body + clear, size - clear));
  }

 private:
  std::array<std::uint8_t, 16> array_;
};

// RC4 whose key is rederived for each 1024-byte block of the stream, from the
// block's number; a byte is decrypted by the key stream at its offset in its block.
class Rc4Decryptor final : public RecordDecryptor {
 public:
  using BlockKey = std::function<SecretBytes(std::uint32_t block)>;
  explicit Rc4Decryptor(BlockKey key) : key_(std::move(key)) {}

  void DecryptBody(std::span<std::uint8_t> stream, std::size_t body, std::size_t size,
                   std::size_t clear) override {
    for (std::size_t at = body + std::min(clear, size), end = body + size; at < end;) {
      const std::size_t block = at / kRc4BlockSize;
      const std::size_t offset = at % kRc4BlockSize;
      if (!rc4_ || block != block_ || offset < offset_) {
        rc4_ = std::make_unique<Rc4>(key_(static_cast<std::uint32_t>(block)));
        block_ = block;
        offset_ = 0;
      }
      rc4_->Skip(offset - offset_);
      const std::size_t n = std::min(end - at, kRc4BlockSize - offset);
      rc4_->Apply(stream.subspan(at, n));
      offset_ = offset + n;
      at += n;
    }
  }

 private:
  BlockKey key_;
  std::unique_ptr<Rc4> rc4_;
  std::size_t block_ = 0;
  std::size_t offset_ = 0;  // of the key stream within the block
};

// True iff the key of block 0 turns the encrypted verifier into the one whose
// hash follows it ([MS-OFFCRYPTO] 2.3.6.4, 2.3.5.6).
bool VerifierFits(const SecretBytes& key, ByteView encrypted_verifier, ByteView encrypted_hash,
                  HashAlgorithm hash) {
  SecretBytes verifier(encrypted_verifier.begin(), encrypted_verifier.end());
  SecretBytes expected(encrypted_hash.begin(), encrypted_hash.end());
  Rc4 rc4(key);
  rc4.Apply(verifier);
  rc4.Apply(expected);
  const SecretBytes got = Digest(hash, {verifier});
  return std::equal(got.begin(), got.end(), expected.begin(), expected.end());
}

class Unlocker {
 public:
  Unlocker(std::span<const std::uint8_t> body, const std::string& file, PasswordSource* passwords,
           ReadProgress* progress)
      : body_(body), file_(file), passwords_(passwords), progress_(progress) {}

  std::unique_ptr<RecordDecryptor> Xor(std::size_t at) {
    Require(at + 4);
    const std::uint16_t key = GetU16(body_, at);
    const std::uint16_t verifier = GetU16(body_, at + 2);
    std::array<std::uint8_t, 16> array{};
    TryPasswords(
        passwords_, file_,
        [&](ByteView password) {
          const SecretBytes bytes = XorPasswordBytes(password);
          if (bytes.empty() || XorKey(bytes) != key || XorVerifier(bytes) != verifier) return false;
          array = XorArray(bytes);
          return true;
        },
        progress_);
    auto decryptor = std::make_unique<XorDecryptor>(array);
    WipeBytes(array.data(), array.size());
    return decryptor;
  }

  // RC4 with MD5 ([MS-OFFCRYPTO] 2.3.6.1-2.3.6.2): salt, verifier, verifier hash.
  std::unique_ptr<RecordDecryptor> Rc4Md5(std::size_t at) {
    Require(at + 48);
    const ByteView salt = body_.subspan(at, kSaltSize);
    std::shared_ptr<SecretBytes> base;
    TryPasswords(
        passwords_, file_,
        [&](ByteView password) {
          const SecretBytes h0 = Digest(HashAlgorithm::kMd5, {PasswordUtf16(password)});
          SecretBytes buffer;
          for (int i = 0; i < 16; ++i) {
            buffer.insert(buffer.end(), h0.begin(), h0.begin() + 5);
            buffer.insert(buffer.end(), salt.begin(), salt.end());
          }
          SecretBytes h1 = Digest(HashAlgorithm::kMd5, {buffer});
          h1.resize(5);
          base = std::make_shared<SecretBytes>(std::move(h1));
          return VerifierFits(Md5BlockKey(*base, 0), body_.subspan(at + 16, 16),
                              body_.subspan(at + 32, 16), HashAlgorithm::kMd5);
        },
        progress_);
    return std::make_unique<Rc4Decryptor>(
        [base](std::uint32_t block) { return Md5BlockKey(*base, block); });
  }

  // RC4 CryptoAPI ([MS-OFFCRYPTO] 2.3.5.1-2.3.5.2): flags, a header of its own
  // size, then the verifier block.
  std::unique_ptr<RecordDecryptor> Rc4CryptoApi(std::size_t at) {
    Require(at + 8);
    const std::uint32_t header_size = GetU32(body_, at + 4);
    at += 8;
    if (header_size < 32 || header_size > body_.size() - at) Fail("has a wrong header size");
    const std::uint32_t algorithm = GetU32(body_, at + 8);
    const std::uint32_t hash = GetU32(body_, at + 12);
    std::uint32_t key_bits = GetU32(body_, at + 16);
    if (key_bits == 0) key_bits = 40;
    if ((algorithm != 0 && algorithm != kAlgorithmRc4) || (hash != 0 && hash != kAlgorithmSha1)) {
      Unsupported();
    }
    if (key_bits < 40 || key_bits > 160 || key_bits % 8 != 0) Fail("has a wrong key length");
    at += header_size;
    Require(at + 4 + kSaltSize + 16 + 4 + 20);
    if (GetU32(body_, at) != kSaltSize) Fail("has a wrong salt size");
    if (GetU32(body_, at + 4 + kSaltSize + 16) != 20) Fail("has a wrong verifier size");
    const ByteView salt = body_.subspan(at + 4, kSaltSize);
    std::shared_ptr<SecretBytes> h0;
    TryPasswords(
        passwords_, file_,
        [&](ByteView password) {
          h0 = std::make_shared<SecretBytes>(
              Digest(HashAlgorithm::kSha1, {salt, PasswordUtf16(password)}));
          return VerifierFits(Sha1BlockKey(*h0, key_bits, 0), body_.subspan(at + 4 + kSaltSize, 16),
                              body_.subspan(at + 4 + kSaltSize + 16 + 4, 20), HashAlgorithm::kSha1);
        },
        progress_);
    return std::make_unique<Rc4Decryptor>(
        [h0, key_bits](std::uint32_t block) { return Sha1BlockKey(*h0, key_bits, block); });
  }

  [[noreturn]] void Unsupported() const {
    throw ReadError(file_, "the workbook is encrypted with a method this program does not read");
  }

  void Require(std::size_t size) const {
    if (body_.size() < size) Fail("is truncated");
  }

 private:
  static SecretBytes Md5BlockKey(const SecretBytes& base, std::uint32_t block) {
    return Digest(HashAlgorithm::kMd5, {base, LittleEndian32(block)});
  }

  // A 40-bit key is padded to 128 bits with zeros.
  static SecretBytes Sha1BlockKey(const SecretBytes& h0, std::uint32_t key_bits,
                                  std::uint32_t block) {
    SecretBytes key = Digest(HashAlgorithm::kSha1, {h0, LittleEndian32(block)});
    key.resize(key_bits / 8);
    if (key_bits == 40) key.resize(16, 0);
    return key;
  }

  [[noreturn]] void Fail(const std::string& what) const {
    throw Damaged(file_, "its encryption header is damaged", "the FILEPASS record " + what);
  }

  std::span<const std::uint8_t> body_;
  const std::string& file_;
  PasswordSource* passwords_;
  ReadProgress* progress_;
};

}  // namespace

std::unique_ptr<RecordDecryptor> UnlockFilepass(std::span<const std::uint8_t> body, bool biff8,
                                                const std::string& file, PasswordSource* passwords,
                                                ReadProgress* progress) {
  Unlocker unlocker(body, file, passwords, progress);
  if (!biff8) return unlocker.Xor(0);
  unlocker.Require(2);
  const std::uint16_t method = GetU16(body, 0);
  if (method == kMethodXor) return unlocker.Xor(2);
  if (method != kMethodRc4) unlocker.Unsupported();
  unlocker.Require(6);
  const std::uint16_t major = GetU16(body, 2);
  const std::uint16_t minor = GetU16(body, 4);
  if (major == 1 && minor == 1) return unlocker.Rc4Md5(6);
  if (major >= 2 && major <= 4 && minor == 2) return unlocker.Rc4CryptoApi(6);
  unlocker.Unsupported();
}

}  // namespace zerova
