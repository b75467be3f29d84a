#include "formats/crypto/digest.h"

#include <nettle/hmac.h>
#include <nettle/md5.h>
#include <nettle/nettle-meta.h>
#include <nettle/sha1.h>
#include <nettle/sha2.h>

#include <algorithm>
#include <cassert>

namespace zerova {
namespace {

// Room for the state of any of the algorithms; wiped when it goes.
struct HashState {
  HashState() = default;
  HashState(const HashState&) = delete;
  HashState& operator=(const HashState&) = delete;
  ~HashState() { WipeBytes(&context, sizeof context); }
  union {
    md5_ctx md5;
    sha1_ctx sha1;
    sha256_ctx sha256;
    sha512_ctx sha512;  // also SHA-384's
  } context;
};

const nettle_hash& Algorithm(HashAlgorithm algorithm) {
  switch (algorithm) {
    case HashAlgorithm::kMd5:
      return nettle_md5;
    case HashAlgorithm::kSha1:
      return nettle_sha1;
    case HashAlgorithm::kSha256:
      return nettle_sha256;
    case HashAlgorithm::kSha384:
      return nettle_sha384;
    case HashAlgorithm::kSha512:
      break;
  }
  return nettle_sha512;
}

}  // namespace

std::size_t DigestSize(HashAlgorithm algorithm) { return Algorithm(algorithm).digest_size; }

SecretBytes Digest(HashAlgorithm algorithm, std::initializer_list<ByteView> parts) {
  const nettle_hash& hash = Algorithm(algorithm);
  HashState state;
  hash.init(&state.context);
  for (ByteView part : parts) hash.update(&state.context, part.size(), part.data());
  SecretBytes digest(hash.digest_size);
  hash.digest(&state.context, digest.size(), digest.data());
  return digest;
}

void RehashWithCounter(HashAlgorithm algorithm, SecretBytes& hash, std::uint32_t count,
                       ReadProgress* stop) {
  const nettle_hash& h = Algorithm(algorithm);
  assert(hash.size() == h.digest_size);
  HashState state;
  StopCheck check(stop, 4096);
  for (std::uint32_t i = 0; i < count; ++i) {
    check.Tick();
    const std::uint8_t counter[4] = {
        static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i >> 8),
        static_cast<std::uint8_t>(i >> 16), static_cast<std::uint8_t>(i >> 24)};
    h.init(&state.context);
    h.update(&state.context, sizeof counter, counter);
    h.update(&state.context, hash.size(), hash.data());
    h.digest(&state.context, hash.size(), hash.data());
  }
}

SecretBytes HmacDigest(HashAlgorithm algorithm, ByteView key, ByteView data, ReadProgress* stop) {
  const nettle_hash& hash = Algorithm(algorithm);
  HashState outer, inner, state;
  hmac_set_key(&outer.context, &inner.context, &state.context, &hash, key.size(), key.data());
  StopCheck check(stop, 1);
  for (std::size_t at = 0; at < data.size(); at += InputMeter::kStep) {
    check.Tick();
    const std::size_t n = std::min<std::size_t>(InputMeter::kStep, data.size() - at);
    hmac_update(&state.context, &hash, n, data.data() + at);
  }
  SecretBytes digest(hash.digest_size);
  hmac_digest(&outer.context, &inner.context, &state.context, &hash, digest.size(), digest.data());
  return digest;
}

}  // namespace zerova
