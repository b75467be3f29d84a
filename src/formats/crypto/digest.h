// Hashes and HMAC for the formats' key derivation, from the Nettle library.
//
// The formats only combine these: which algorithm, over which bytes, how often.
// Every digest comes back as SecretBytes, since most of them are keys or steps
// towards one.
#ifndef ZEROVA_FORMATS_CRYPTO_DIGEST_H_
#define ZEROVA_FORMATS_CRYPTO_DIGEST_H_

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>

#include "services/secret.h"

namespace zerova {

using ByteView = std::span<const std::uint8_t>;

enum class HashAlgorithm : std::uint8_t { kMd5, kSha1, kSha256, kSha384, kSha512 };

// The digest's size in bytes: 16, 20, 32, 48 or 64.
std::size_t DigestSize(HashAlgorithm algorithm);

// The digest of `parts`, one after another.
SecretBytes Digest(HashAlgorithm algorithm, std::initializer_list<ByteView> parts);

// Hashes `hash` again `count` times, each time after a little-endian 32-bit
// counter from 0 on: hash = H(counter || hash) ([MS-OFFCRYPTO] 2.3.4.7, 2.3.4.11).
// REQUIRES: hash.size() == DigestSize(algorithm).
void RehashWithCounter(HashAlgorithm algorithm, SecretBytes& hash, std::uint32_t count);

// HMAC ([RFC 2104]) of `data` under `key`.
SecretBytes HmacDigest(HashAlgorithm algorithm, ByteView key, ByteView data);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_CRYPTO_DIGEST_H_
