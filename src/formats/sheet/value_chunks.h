// ValueChunks: a growing array of packed values, held in chunks of 4,096.
//
// Growing never moves what is stored: a full chunk stays where it is and the
// next value starts a new one, so a column of a million values costs what its
// values do at its peak too, not the twice as much a doubling array briefly
// needs. A chunk grows as a vector does until it is full, so a short column
// stays small.
//
// Each value costs four bytes while every value of its chunk fits in four (a
// string's index, a boolean, an error, a whole number within 32 bits), and eight
// once one does not: the chunk is then widened, once. Its kind costs nothing
// while the chunk's values are all of one kind, as a column's often are, and a
// byte once they are not.
#ifndef ZEROVA_FORMATS_SHEET_VALUE_CHUNKS_H_
#define ZEROVA_FORMATS_SHEET_VALUE_CHUNKS_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "formats/sheet/packed_value.h"

namespace zerova {

class ValueChunks {
 public:
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  void push_back(PackedValue value) {
    // The usual case inline: room in the last chunk, whose values are all of this
    // value's kind and in four bytes, and this one fits there too.
    std::uint32_t narrow = 0;
    if ((size_ & kMask) != 0) {
      Chunk& chunk = chunks_.back();
      if (!chunk.wide && chunk.kinds.empty() && chunk.kind == value.kind &&
          Narrowed(value, &narrow)) {
        chunk.narrow.push_back(narrow);
        ++chunk.size;
        ++size_;
        return;
      }
    }
    PushBack(value);
  }

  // REQUIRES for both: index < size().
  PackedValue operator[](std::size_t index) const {
    const Chunk& chunk = chunks_[index >> kShift];
    const std::size_t at = index & kMask;
    const PackedKind kind = chunk.kinds.empty() ? chunk.kind : chunk.kinds[at];
    return {kind, chunk.wide ? chunk.bits[at] : Widened(kind, chunk.narrow[at])};
  }
  void Set(std::size_t index, PackedValue value);

  // The value put last. REQUIRES: !empty().
  void SetLast(PackedValue value) { Set(size_ - 1, value); }

 private:
  static constexpr int kShift = 12;
  static constexpr std::size_t kMask = (std::size_t{1} << kShift) - 1;

  struct Chunk {
    PackedKind kind = PackedKind::kEmpty;  // of every value, while `kinds` is empty
    std::vector<PackedKind> kinds;         // once the values' kinds differ
    std::size_t size = 0;
    bool wide = false;
    std::vector<std::uint32_t> narrow;  // while !wide
    std::vector<std::uint64_t> bits;    // once wide
  };

  // push_back's general case.
  void PushBack(PackedValue value);
  // Stores `value` in four bytes at `*narrow` if it fits there.
  static bool Narrowed(PackedValue value, std::uint32_t* narrow);
  // The eight bytes of a `kind` value stored in four as `narrow`.
  static std::uint64_t Widened(PackedKind kind, std::uint32_t narrow);
  // Moves the chunk's values to eight bytes each.
  static void Widen(Chunk& chunk);
  // Gives each of the chunk's values a kind of its own.
  static void Mix(Chunk& chunk);

  std::vector<Chunk> chunks_;
  std::size_t size_ = 0;
};

}  // namespace zerova

#endif  // ZEROVA_FORMATS_SHEET_VALUE_CHUNKS_H_
