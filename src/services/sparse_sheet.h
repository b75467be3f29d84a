// SparseSheet: an in-memory worksheet holding only the cells a file stores.
//
// Readers Put cells in any order while they parse, then Seal the sheet once.
// A later Put for the same address replaces an earlier one. Memory grows with
// the number of cells put, never with the sheet's extent.
#ifndef ZEROVA_SERVICES_SPARSE_SHEET_H_
#define ZEROVA_SERVICES_SPARSE_SHEET_H_

#include <cstdint>
#include <utility>
#include <vector>

#include "services/spreadsheet.h"

namespace zerova {

class SparseSheet final : public Worksheet {
 public:
  // Stores `value` at 1-based (`row`, `column`).
  // REQUIRES: not sealed; 1 <= row < 2^32; 1 <= column < 2^31.
  void Put(std::int64_t row, std::int64_t column, CellValue value);

  // Orders the cells for lookup; the last Put for an address wins. Call once, after the last Put.
  void Seal();

  // REQUIRES: sealed.
  const CellValue& Cell(std::int64_t row, std::int64_t column) const override;

  std::size_t size() const { return cells_.size(); }

 private:
  static std::uint64_t Key(std::int64_t row, std::int64_t column);

  std::vector<std::pair<std::uint64_t, CellValue>> cells_;
  bool sealed_ = false;
};

}  // namespace zerova

#endif  // ZEROVA_SERVICES_SPARSE_SHEET_H_
