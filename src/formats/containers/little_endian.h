// Little-endian decoding of BIFF fields ([MS-XLS] 2.1.4: every number is stored
// least significant byte first).
//
// These read without checking: callers check the body's length first
// (BiffRecordCursor::RequireBody) and pass an offset inside it.
#ifndef ZEROVA_FORMATS_CONTAINERS_LITTLE_ENDIAN_H_
#define ZEROVA_FORMATS_CONTAINERS_LITTLE_ENDIAN_H_

#include <cassert>
#include <cstdint>
#include <cstring>
#include <span>

namespace zerova {

// REQUIRES: offset + 2 <= bytes.size().
inline std::uint16_t GetU16(std::span<const std::uint8_t> bytes, std::size_t offset) {
  assert(offset + 2 <= bytes.size());
  return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

// REQUIRES: offset + 4 <= bytes.size().
inline std::uint32_t GetU32(std::span<const std::uint8_t> bytes, std::size_t offset) {
  assert(offset + 4 <= bytes.size());
  return static_cast<std::uint32_t>(bytes[offset]) |
         (static_cast<std::uint32_t>(bytes[offset + 1]) << 8) |
         (static_cast<std::uint32_t>(bytes[offset + 2]) << 16) |
         (static_cast<std::uint32_t>(bytes[offset + 3]) << 24);
}

// An IEEE 754 double. REQUIRES: offset + 8 <= bytes.size().
inline double GetDouble(std::span<const std::uint8_t> bytes, std::size_t offset) {
  assert(offset + 8 <= bytes.size());
  const std::uint64_t bits = static_cast<std::uint64_t>(GetU32(bytes, offset)) |
                             (static_cast<std::uint64_t>(GetU32(bytes, offset + 4)) << 32);
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

}  // namespace zerova

#endif  // ZEROVA_FORMATS_CONTAINERS_LITTLE_ENDIAN_H_
