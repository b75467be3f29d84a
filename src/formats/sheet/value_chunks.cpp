#include "formats/sheet/value_chunks.h"

#include <bit>

namespace zerova {
namespace {

bool IsNumeric(PackedKind kind) {
  return kind == PackedKind::kNumber || kind == PackedKind::kDate1900 ||
         kind == PackedKind::kDate1904;
}

}  // namespace

bool ValueChunks::Narrowed(PackedValue value, std::uint32_t* narrow) {
  if (!IsNumeric(value.kind)) {
    *narrow = static_cast<std::uint32_t>(value.bits);
    return value.bits <= UINT32_MAX;
  }
  // A whole number within 32 bits, whose double comes back bit for bit (not -0).
  const double number = std::bit_cast<double>(value.bits);
  if (!(number >= INT32_MIN && number <= INT32_MAX)) return false;
  const auto whole = static_cast<std::int32_t>(number);
  *narrow = static_cast<std::uint32_t>(whole);
  return std::bit_cast<std::uint64_t>(static_cast<double>(whole)) == value.bits;
}

std::uint64_t ValueChunks::Widened(PackedKind kind, std::uint32_t narrow) {
  if (!IsNumeric(kind)) return narrow;
  return std::bit_cast<std::uint64_t>(static_cast<double>(static_cast<std::int32_t>(narrow)));
}

void ValueChunks::Widen(Chunk& chunk) {
  chunk.bits.reserve(chunk.narrow.capacity());  // a power of two within the chunk's size
  for (std::size_t i = 0; i < chunk.narrow.size(); ++i) {
    chunk.bits.push_back(
        Widened(chunk.kinds.empty() ? chunk.kind : chunk.kinds[i], chunk.narrow[i]));
  }
  chunk.narrow = std::vector<std::uint32_t>();
  chunk.wide = true;
}

void ValueChunks::Mix(Chunk& chunk) {
  chunk.kinds.reserve(chunk.wide ? chunk.bits.capacity() : chunk.narrow.capacity());
  chunk.kinds.assign(chunk.size, chunk.kind);
}

void ValueChunks::PushBack(PackedValue value) {
  if ((size_ & kMask) == 0) {
    chunks_.emplace_back();
    chunks_.back().kind = value.kind;
  }
  Chunk& chunk = chunks_.back();
  std::uint32_t narrow = 0;
  if (!chunk.wide && !Narrowed(value, &narrow)) Widen(chunk);
  if (chunk.kinds.empty() && value.kind != chunk.kind) Mix(chunk);
  if (!chunk.kinds.empty()) chunk.kinds.push_back(value.kind);
  ++chunk.size;
  if (chunk.wide) {
    chunk.bits.push_back(value.bits);
  } else {
    chunk.narrow.push_back(narrow);
  }
  ++size_;
}

void ValueChunks::Set(std::size_t index, PackedValue value) {
  Chunk& chunk = chunks_[index >> kShift];
  const std::size_t at = index & kMask;
  std::uint32_t narrow = 0;
  if (!chunk.wide && !Narrowed(value, &narrow)) Widen(chunk);
  if (chunk.kinds.empty() && value.kind != chunk.kind) Mix(chunk);
  if (!chunk.kinds.empty()) chunk.kinds[at] = value.kind;
  if (chunk.wide) {
    chunk.bits[at] = value.bits;
  } else {
    chunk.narrow[at] = narrow;
  }
}

}  // namespace zerova
