// ValueChunks: a growing array of packed values, a kind byte and eight bytes
// each, held in chunks of 4,096 values.
//
// Growing never moves what is stored: a full chunk stays where it is and the
// next value starts a new one, so a column of a million values costs nine bytes
// a value at its peak too, not the twice as much a doubling array briefly needs.
// A chunk grows as a vector does until it is full, so a short column stays small.
#ifndef ZEROVA_FORMATS_COMMON_VALUE_CHUNKS_H_
#define ZEROVA_FORMATS_COMMON_VALUE_CHUNKS_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "formats/common/packed_value.h"

namespace zerova {

class ValueChunks {
 public:
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  void push_back(PackedValue value) {
    if ((size_ & kMask) == 0) chunks_.emplace_back();
    Chunk& chunk = chunks_.back();
    chunk.kinds.push_back(value.kind);
    chunk.bits.push_back(value.bits);
    ++size_;
  }

  // REQUIRES for both: index < size().
  PackedValue operator[](std::size_t index) const {
    const Chunk& chunk = chunks_[index >> kShift];
    return {chunk.kinds[index & kMask], chunk.bits[index & kMask]};
  }
  void Set(std::size_t index, PackedValue value) {
    Chunk& chunk = chunks_[index >> kShift];
    chunk.kinds[index & kMask] = value.kind;
    chunk.bits[index & kMask] = value.bits;
  }
  // The value put last. REQUIRES: !empty().
  void SetLast(PackedValue value) { Set(size_ - 1, value); }

 private:
  static constexpr int kShift = 12;
  static constexpr std::size_t kMask = (std::size_t{1} << kShift) - 1;

  struct Chunk {
    std::vector<PackedKind> kinds;
    std::vector<std::uint64_t> bits;
  };

  std::vector<Chunk> chunks_;
  std::size_t size_ = 0;
};

}  // namespace zerova

#endif  // ZEROVA_FORMATS_COMMON_VALUE_CHUNKS_H_
