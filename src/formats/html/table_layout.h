// TableLayout: places the cells of an HTML table on the sheet's grid as a browser
// lays them out.
//
// Each row's cells go left to right, each into the first column that no cell of
// a row above still covers with its rowspan. A cell spanning columns or rows
// (colspan, rowspan) holds its text in its first cell; the others stay empty.
// Spans are clamped as browsers clamp them: colspan to 1..1000, rowspan to
// 1..65534, with rowspan="0" reaching to the end of the table. Rows past
// 1,048,576 and columns past 16,384 are dropped, and the sheet notes it when
// a cell there holds text. Each cell costs the same few steps whatever its
// spans reach (covered_columns.h).
#ifndef ZEROVA_FORMATS_HTML_TABLE_LAYOUT_H_
#define ZEROVA_FORMATS_HTML_TABLE_LAYOUT_H_

#include <cstdint>
#include <memory>
#include <string_view>

#include "formats/html/covered_columns.h"
#include "formats/sheet/sheet_store.h"

namespace zerova {

class TableLayout {
 public:
  // Starts a row (<tr>).
  void StartRow();
  // Ends it (</tr>): a cell that follows outside any row starts a new one.
  void EndRow() { in_row_ = false; }

  // Starts a cell (<td> or <th>) with the colspan and rowspan attributes as
  // written ("" when absent, or when not a number: then 1). A cell outside any
  // row starts one.
  void StartCell(std::string_view colspan, std::string_view rowspan);

  // Ends the cell started last, whose text is `text`: the text is put in its
  // first cell unless it is empty or the cell lies outside the grid.
  void EndCell(std::string_view text);

  // The sheet of the cells put so far, sealed. Call once, last.
  std::unique_ptr<SheetStore> Finish();

 private:
  std::unique_ptr<SheetStore> sheet_ = std::make_unique<SheetStore>();
  CoveredColumns covered_;        // by rowspans from rows above
  std::int64_t row_ = 0;          // the row being laid out, 0 before the first
  std::int64_t next_column_ = 1;  // where the row's next cell may start
  std::int64_t column_ = 0;       // the cell being read
  bool in_row_ = false;
};

}  // namespace zerova

#endif  // ZEROVA_FORMATS_HTML_TABLE_LAYOUT_H_
