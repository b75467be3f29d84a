#include "formats/sheet/string_table.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <functional>

namespace zerova {

std::uint32_t StringTable::Add(std::string_view text) {
  assert(size_ < UINT32_MAX - 1);
  // A string starts a block when the current one cannot hold it; a long one gets
  // a block of exactly its size, so no block is left more than a quarter empty
  // for a string that did not fit.
  if (blocks_.empty() || blocks_.back().capacity - blocks_.back().used < text.size()) {
    const std::size_t size = text.size() > kBlockBytes / 4 ? text.size() : kBlockBytes;
    blocks_.push_back({std::make_unique_for_overwrite<char[]>(size), size, 0});
  }
  Block& block = blocks_.back();
  if (!text.empty()) std::memcpy(block.bytes.get() + block.used, text.data(), text.size());
  const std::uint64_t place = (std::uint64_t{blocks_.size() - 1} << 32) | block.used;
  block.used += static_cast<std::uint32_t>(text.size());
  if ((size_ >> kIndexShift) == places_.size()) places_.emplace_back();
  places_.back().push_back(place);
  return size_++;
}

std::uint32_t StringTable::AddOnce(std::string_view text) {
  if (recent_.empty()) recent_.assign(kRecentSlots, 0);
  std::uint32_t& slot = recent_[std::hash<std::string_view>()(text) % kRecentSlots];
  if (slot != 0 && (*this)[slot - 1] == text) return slot - 1;
  const std::uint32_t index = Add(text);
  slot = index + 1;
  return index;
}

std::string_view StringTable::operator[](std::uint32_t index) const {
  const std::uint64_t place = PlaceOf(index);
  const auto block = static_cast<std::uint32_t>(place >> 32);
  const auto begin = static_cast<std::uint32_t>(place);
  // It ends where the next string of its block begins, or where the block's bytes do.
  std::uint32_t end = blocks_[block].used;
  if (index + 1 < size_) {
    const std::uint64_t next = PlaceOf(index + 1);
    if ((next >> 32) == block) end = static_cast<std::uint32_t>(next);
  }
  return {blocks_[block].bytes.get() + begin, end - begin};
}

}  // namespace zerova
