// GrowingBytes: a buffer for bytes whose number is not known ahead (a stream
// read whole), that holds, at every size, that size rounded up to a page and
// no more: it grows in place, or moves without being copied, where the
// platform allows, and untouched room costs no memory. Implemented by each
// platform in its folder under src/platform/.
#ifndef ZEROVA_SERVICES_GROWING_BYTES_H_
#define ZEROVA_SERVICES_GROWING_BYTES_H_

#include <cstddef>
#include <cstdint>
#include <span>

namespace zerova {

class GrowingBytes {
 public:
  GrowingBytes() = default;
  GrowingBytes(const GrowingBytes&) = delete;
  GrowingBytes& operator=(const GrowingBytes&) = delete;
  ~GrowingBytes();

  std::uint8_t* data() const { return static_cast<std::uint8_t*>(data_); }
  std::size_t size() const { return size_; }
  std::span<const std::uint8_t> bytes() const { return {data(), size_}; }

  // Makes room for `more` bytes after the size; the bytes so far may move.
  // Throws std::bad_alloc when there is no room.
  void Reserve(std::size_t more);

  // Counts `added` bytes, written into the room Reserve made, into the size.
  void Grow(std::size_t added) { size_ += added; }

 private:
  void* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

}  // namespace zerova

#endif  // ZEROVA_SERVICES_GROWING_BYTES_H_
