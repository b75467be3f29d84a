// PackedValue: a cell's value as the sheet store keeps it, a kind and eight bytes.
//
// Numbers and dates keep their double; text is the index of a string in the
// store's StringTable; a boolean or error keeps its code. The date system is part
// of a date's kind, so nothing else is needed to tell the value back.
#ifndef ZEROVA_FORMATS_SHEET_PACKED_VALUE_H_
#define ZEROVA_FORMATS_SHEET_PACKED_VALUE_H_

#include <bit>
#include <cstdint>

#include "services/cell_value.h"

namespace zerova {

enum class PackedKind : std::uint8_t {
  kEmpty,
  kString,    // bits: a StringTable index
  kNumber,    // bits: the double's
  kDate1900,  // bits: the serial's, in the 1900 date system
  kDate1904,  // bits: the serial's, in the 1904 date system
  kBoolean,   // bits: 0 or 1
  kError,     // bits: the CellError's code
};

struct PackedValue {
  PackedKind kind = PackedKind::kEmpty;
  std::uint64_t bits = 0;

  static PackedValue Empty() { return {}; }
  static PackedValue Number(double number) {
    return {PackedKind::kNumber, std::bit_cast<std::uint64_t>(number)};
  }
  static PackedValue Date(double serial, DateSystem system) {
    return {system == DateSystem::k1904 ? PackedKind::kDate1904 : PackedKind::kDate1900,
            std::bit_cast<std::uint64_t>(serial)};
  }
  static PackedValue Boolean(bool value) { return {PackedKind::kBoolean, value ? 1u : 0u}; }
  static PackedValue Error(CellError error) {
    return {PackedKind::kError, static_cast<std::uint64_t>(error)};
  }
  // The string at `index` in the store's table.
  static PackedValue String(std::uint32_t index) { return {PackedKind::kString, index}; }

  bool IsEmpty() const { return kind == PackedKind::kEmpty; }
};

}  // namespace zerova

#endif  // ZEROVA_FORMATS_SHEET_PACKED_VALUE_H_
