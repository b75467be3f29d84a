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

#include "services/read_progress.h"
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
// Asks `stop` (null: nobody) whether to stop every 4,096 rounds, a few
// milliseconds: a spin count of ten million takes seconds. Throws Cancelled
// when it answers a stop.
// REQUIRES: hash.size() == DigestSize(algorithm).
void RehashWithCounter(HashAlgorithm algorithm, SecretBytes& hash, std::uint32_t count,
                       ReadProgress* stop = nullptr);

// HMAC ([RFC 2104]) of `data` under `key`, asking `stop` (null: nobody)
// whether to stop every 64 KB. Throws Cancelled when it answers a stop.
SecretBytes HmacDigest(HashAlgorithm algorithm, ByteView key, ByteView data,
                       ReadProgress* stop = nullptr);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_CRYPTO_DIGEST_H_
