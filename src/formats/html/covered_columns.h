// CoveredColumns: which columns of an HTML table cells from rows above still
// cover with their rowspan, for the layout of the row being read.
//
// A segment tree over the sheet's 16,384 columns holds, per column, the last
// row a span covers it to. Covering a range and finding the first free column
// each take a few dozen steps, however many columns and rows the spans reach
// and however many of them there are, so a table costs what its markup holds.
// It takes 256 KB once the first span down rows is met.
#ifndef ZEROVA_FORMATS_HTML_COVERED_COLUMNS_H_
#define ZEROVA_FORMATS_HTML_COVERED_COLUMNS_H_

#include <cstdint>
#include <vector>

namespace zerova {

class CoveredColumns {
 public:
  // Columns `first` .. `last` are covered down to row `last_row`, or further
  // where an earlier span reaches further. Columns past 16,384 are not kept.
  // REQUIRES: 1 <= first <= last; last_row < 2^31.
  void Cover(std::int64_t first, std::int64_t last, std::int64_t last_row);

  // The first column from `column` on that no span covers in row `row`;
  // `column` itself when it lies past 16,384. REQUIRES: column >= 1.
  std::int64_t FirstFree(std::int64_t column, std::int64_t row) const;

 private:
  void Cover(std::size_t node, std::int64_t low, std::int64_t high, std::int64_t first,
             std::int64_t last, std::int32_t last_row);
  std::int64_t FirstFree(std::size_t node, std::int64_t low, std::int64_t high, std::int64_t column,
                         std::int64_t row, std::int32_t above) const;

  // By node (1 the root, 2n and 2n + 1 its halves): the span's last row set on
  // the whole of the node's range, and the least last row of any column in it
  // counting what was set here and below. Empty until the first Cover.
  std::vector<std::int32_t> whole_;
  std::vector<std::int32_t> least_;
};

}  // namespace zerova

#endif  // ZEROVA_FORMATS_HTML_COVERED_COLUMNS_H_
