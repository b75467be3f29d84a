#include "formats/xlsx/cell_records.h"

#include <algorithm>

namespace zerova {

void XlsxCellBatch::Grow(std::size_t n) {
  const std::size_t capacity = std::max({2 * capacity_, size_ + n, kTextBytes + 4096});
  auto text = std::make_unique_for_overwrite<char[]>(capacity);
  if (size_ > 0) std::memcpy(text.get(), text_.get(), size_);
  text_ = std::move(text);
  capacity_ = capacity;
}

}  // namespace zerova
