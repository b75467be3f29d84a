#include "cli/stream_input.h"

#include <algorithm>
#include <memory>
#include <string>

#include "services/error.h"
#include "services/growing_bytes.h"

namespace zerova {
namespace {

constexpr std::size_t kChunk = 64 * 1024;
constexpr std::uint64_t kGiB = std::uint64_t{1} << 30;

// "2 GiB", or "1000 bytes" for a limit that is no whole number of GiB.
std::string LimitText(std::uint64_t bytes) {
  if (bytes % kGiB == 0) return std::to_string(bytes / kGiB) + " GiB";
  return std::to_string(bytes) + " bytes";
}

}  // namespace

SpreadsheetInput ReadStream(InputStream& stream, const std::string& name, const InputReport& report,
                            const HeadCheck& check, std::uint64_t max_bytes) {
  auto bytes = std::make_shared<GrowingBytes>();
  const std::uint64_t known = stream.KnownSize();
  bool judged = false;
  for (;;) {
    // The head is read to its end before it is judged; then a chunk at a time.
    const std::size_t wanted =
        judged ? kChunk : kStreamHeadBytes - std::min(bytes->size(), kStreamHeadBytes);
    bytes->Reserve(wanted);
    const std::size_t n =
        stream.Read(bytes->data() + bytes->size(), wanted, [&] { report(bytes->size(), known); });
    bytes->Grow(n);
    if (!judged && (n == 0 || bytes->size() >= kStreamHeadBytes)) {
      check(bytes->bytes());
      judged = true;
    }
    if (n == 0) break;
    if (bytes->size() > max_bytes) {
      throw ReadError(name, "the input is too large to read (over " + LimitText(max_bytes) +
                                ", as a stream is held whole in memory)");
    }
    report(bytes->size(), known);
  }
  SpreadsheetInput input;
  input.path = name;
  input.bytes = bytes->bytes();
  input.bytes_owner = std::move(bytes);
  return input;
}

}  // namespace zerova
