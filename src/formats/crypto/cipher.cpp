#include "formats/crypto/cipher.h"

#include <nettle/aes.h>
#include <nettle/arcfour.h>
#include <nettle/cbc.h>
#include <nettle/nettle-meta.h>

#include <array>
#include <cassert>

namespace zerova {
namespace {

static_assert(sizeof(arcfour_ctx) <= 264);
static_assert(sizeof(aes256_ctx) <= 256 && sizeof(aes128_ctx) <= 256);

const nettle_cipher& Aes(const void* cipher) { return *static_cast<const nettle_cipher*>(cipher); }

}  // namespace

Rc4::Rc4(ByteView key) {
  assert(!key.empty() && key.size() <= ARCFOUR_MAX_KEY_SIZE);
  arcfour_set_key(reinterpret_cast<arcfour_ctx*>(state_), key.size(), key.data());
}

Rc4::~Rc4() { WipeBytes(state_, sizeof state_); }

void Rc4::Apply(std::span<std::uint8_t> data) {
  arcfour_crypt(reinterpret_cast<arcfour_ctx*>(state_), data.size(), data.data(), data.data());
}

void Rc4::Skip(std::size_t count) {
  std::array<std::uint8_t, 256> scratch;
  while (count > 0) {
    const std::size_t n = std::min(count, scratch.size());
    arcfour_crypt(reinterpret_cast<arcfour_ctx*>(state_), n, scratch.data(), scratch.data());
    count -= n;
  }
  WipeBytes(scratch.data(), scratch.size());
}

AesDecryption::AesDecryption(ByteView key) {
  assert(IsKeySize(key.size()));
  cipher_ = key.size() == 16 ? &nettle_aes128 : key.size() == 24 ? &nettle_aes192 : &nettle_aes256;
  Aes(cipher_).set_decrypt_key(schedule_, key.data());
}

AesDecryption::~AesDecryption() { WipeBytes(schedule_, sizeof schedule_); }

void AesDecryption::Ecb(std::span<std::uint8_t> data) const {
  assert(data.size() % kBlockSize == 0);
  Aes(cipher_).decrypt(schedule_, data.size(), data.data(), data.data());
}

void AesDecryption::Cbc(ByteView iv, std::span<std::uint8_t> data) const {
  assert(data.size() % kBlockSize == 0 && iv.size() == kBlockSize);
  std::array<std::uint8_t, kBlockSize> chain;
  std::copy(iv.begin(), iv.end(), chain.begin());
  cbc_decrypt(schedule_, Aes(cipher_).decrypt, kBlockSize, chain.data(), data.size(), data.data(),
              data.data());
}

}  // namespace zerova
