// formats/common/: what the file formats share, and nothing format-specific:
// containers (ole2_container.h, zip_archive.h, and the package relationships of
// opc_package.h), streaming XML (xml_stream.h), the in-memory sheets (this one and
// run_length_sheet.h), cell addresses, date serials and number-format
// classification, text decoding (codepage_decoder.h, unicode.h), little-endian
// fields and RK numbers, and quiet GLib logging. A format folder includes only this
// one, never another format's.
//
// PooledSheet: an in-memory worksheet whose cells refer to values in a pool, so
// many cells can share one value.
//
// An .xlsx sheet refers to its shared strings by index: a million cells naming
// one long string cost a million small entries, not a million copies of the
// string. Memory grows with the cells put and the values added, never with the
// sheet's extent or with how often a value is used.
#ifndef ZEROVA_FORMATS_COMMON_POOLED_SHEET_H_
#define ZEROVA_FORMATS_COMMON_POOLED_SHEET_H_

#include <cstdint>
#include <utility>
#include <vector>

#include "services/spreadsheet.h"

namespace zerova {

class PooledSheet final : public Worksheet {
 public:
  // Adds `value` to the pool and returns its index, counting from 0.
  // REQUIRES: not sealed; fewer than 2^32 - 1 values.
  std::uint32_t AddValue(CellValue value);

  std::size_t pool_size() const { return pool_.size(); }

  // Makes the cell at 1-based (`row`, `column`) hold pool entry `index`.
  // REQUIRES: not sealed; index < pool_size(); 1 <= row < 2^32; 1 <= column < 2^31.
  void PutIndex(std::int64_t row, std::int64_t column, std::uint32_t index);

  // Adds `value` to the pool and puts it at (`row`, `column`).
  void Put(std::int64_t row, std::int64_t column, CellValue value) {
    PutIndex(row, column, AddValue(std::move(value)));
  }

  // Orders the cells for lookup; the last Put for an address wins. Call once, after the last Put.
  void Seal();

  // REQUIRES: sealed.
  CellView Cell(std::int64_t row, std::int64_t column) const override;

 private:
  static std::uint64_t Key(std::int64_t row, std::int64_t column);

  std::vector<CellValue> pool_;
  std::vector<std::pair<std::uint64_t, std::uint32_t>> cells_;
  bool sealed_ = false;
};

}  // namespace zerova

#endif  // ZEROVA_FORMATS_COMMON_POOLED_SHEET_H_
