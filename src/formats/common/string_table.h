// StringTable: strings kept end to end in one arena, each named by its index.
//
// A workbook's shared strings, and the text of cells that hold their own, cost
// their bytes plus eight bytes each: no allocation per string, no copy per cell
// that names one.
#ifndef ZEROVA_FORMATS_COMMON_STRING_TABLE_H_
#define ZEROVA_FORMATS_COMMON_STRING_TABLE_H_

#include <cassert>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zerova {

class StringTable {
 public:
  // Appends a copy of `text` and returns its index, counting from 0.
  // REQUIRES: fewer than 2^32 - 1 strings.
  std::uint32_t Add(std::string_view text) {
    assert(ends_.size() < UINT32_MAX);
    bytes_.append(text);
    ends_.push_back(bytes_.size());
    return static_cast<std::uint32_t>(ends_.size() - 1);
  }

  // The string at `index`, valid until the next Add.
  // REQUIRES: index < size().
  std::string_view operator[](std::uint32_t index) const {
    const std::uint64_t begin = index == 0 ? 0 : ends_[index - 1];
    return std::string_view(bytes_).substr(begin, ends_[index] - begin);
  }

  std::uint32_t size() const { return static_cast<std::uint32_t>(ends_.size()); }

 private:
  std::string bytes_;
  std::vector<std::uint64_t> ends_;  // of each string in bytes_
};

}  // namespace zerova

#endif  // ZEROVA_FORMATS_COMMON_STRING_TABLE_H_
