// The ciphers of the encrypted formats, from the Nettle library: RC4 for .xls
// workbooks and AES (ECB and CBC) for encrypted OOXML packages. Both decrypt in
// place; their key schedules are wiped when they go.
#ifndef ZEROVA_FORMATS_CRYPTO_CIPHER_H_
#define ZEROVA_FORMATS_CRYPTO_CIPHER_H_

#include <cstddef>
#include <cstdint>
#include <span>

#include "formats/crypto/digest.h"

namespace zerova {

// An RC4 key stream. RC4 is its own inverse: Apply encrypts and decrypts alike.
class Rc4 {
 public:
  // REQUIRES: 1 <= key.size() <= 256.
  explicit Rc4(ByteView key);
  Rc4(const Rc4&) = delete;
  Rc4& operator=(const Rc4&) = delete;
  ~Rc4();

  // XORs the next data.size() bytes of the key stream into `data`.
  void Apply(std::span<std::uint8_t> data);

  // Moves `count` bytes along the key stream.
  void Skip(std::size_t count);

 private:
  alignas(8) unsigned char state_[264];
};

// AES decryption under one key.
class AesDecryption {
 public:
  static constexpr std::size_t kBlockSize = 16;

  // True iff AES takes a key of `size` bytes (16, 24 or 32).
  static bool IsKeySize(std::size_t size) { return size == 16 || size == 24 || size == 32; }

  // REQUIRES: IsKeySize(key.size()).
  explicit AesDecryption(ByteView key);
  AesDecryption(const AesDecryption&) = delete;
  AesDecryption& operator=(const AesDecryption&) = delete;
  ~AesDecryption();

  // Decrypts each block of `data` on its own (ECB).
  // REQUIRES: data.size() is a multiple of kBlockSize.
  void Ecb(std::span<std::uint8_t> data) const;

  // Decrypts `data` in cipher-block chaining from the initial vector `iv`.
  // REQUIRES: data.size() is a multiple of kBlockSize; iv.size() == kBlockSize.
  void Cbc(ByteView iv, std::span<std::uint8_t> data) const;

 private:
  const void* cipher_;  // Nettle's description of AES with this key size
  alignas(16) unsigned char schedule_[256];
};

}  // namespace zerova

#endif  // ZEROVA_FORMATS_CRYPTO_CIPHER_H_
