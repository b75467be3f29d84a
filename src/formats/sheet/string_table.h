// StringTable: strings kept end to end in blocks of memory, each named by its index.
//
// A workbook's shared strings, and the text of cells that hold their own, cost
// their bytes plus eight bytes each: no allocation per string, no copy per cell
// that names one. Blocks and the index grow in pieces that never move, so a
// table never copies itself into twice its size as it grows, and every view of
// a string stays valid while the table lives.
#ifndef ZEROVA_FORMATS_SHEET_STRING_TABLE_H_
#define ZEROVA_FORMATS_SHEET_STRING_TABLE_H_

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace zerova {

class StringTable {
 public:
  StringTable() = default;
  StringTable(StringTable&&) noexcept = default;
  StringTable& operator=(StringTable&&) noexcept = default;

  // Appends a copy of `text` and returns its index, counting from 0.
  // REQUIRES: fewer than 2^32 - 1 strings.
  std::uint32_t Add(std::string_view text);

  // The index of a string equal to `text` added with AddOnce among the last few
  // thousand, if any is still remembered; else Add(text). Text that repeats, as
  // cells without a shared-string table repeat it, is then kept once.
  std::uint32_t AddOnce(std::string_view text);

  // The string at `index`, valid while the table lives.
  // REQUIRES: index < size().
  std::string_view operator[](std::uint32_t index) const;

  std::uint32_t size() const { return size_; }

 private:
  static constexpr std::size_t kBlockBytes = 64 * 1024;
  static constexpr int kIndexShift = 12;  // 4,096 places a piece of the index
  static constexpr std::size_t kRecentSlots = 4096;

  struct Block {
    std::unique_ptr<char[]> bytes;
    std::size_t capacity = 0;
    std::uint32_t used = 0;
  };

  // A string's place: its block (high 32 bits) and its offset there (low 32).
  std::uint64_t& PlaceOf(std::uint32_t index) {
    return places_[index >> kIndexShift][index & ((1u << kIndexShift) - 1)];
  }
  std::uint64_t PlaceOf(std::uint32_t index) const {
    return places_[index >> kIndexShift][index & ((1u << kIndexShift) - 1)];
  }

  std::vector<Block> blocks_;
  std::vector<std::vector<std::uint64_t>> places_;
  std::uint32_t size_ = 0;
  std::vector<std::uint32_t> recent_;  // by the text's hash: 1 + an index, or 0
};

}  // namespace zerova

#endif  // ZEROVA_FORMATS_SHEET_STRING_TABLE_H_
