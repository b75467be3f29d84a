// FirstTable: follows the elements of a web page, as a streaming parser reports
// them, and lays out the cells of its first <table> (formats/html/reader.h says
// what of a page becomes what).
#ifndef ZEROVA_FORMATS_HTML_FIRST_TABLE_H_
#define ZEROVA_FORMATS_HTML_FIRST_TABLE_H_

#include <memory>
#include <string_view>

#include "formats/html/table_layout.h"
#include "formats/html/visible_text.h"
#include "formats/sheet/sheet_store.h"

namespace zerova {

class FirstTable {
 public:
  // An element starts; `name` in lower case. `colspan` and `rowspan` are its
  // attributes as written ("" when absent); only cells have them.
  void Start(std::string_view name, std::string_view colspan = "", std::string_view rowspan = "");
  // An element ends, as the parser closes it (explicitly or not).
  void End(std::string_view name);
  // Text inside the current element, in UTF-8.
  void Characters(std::string_view text);

  // True once the first table has started.
  bool found() const { return depth_ > 0 || done_; }
  // True once it has ended: nothing after it matters.
  bool done() const { return done_; }

  // The sheet, a cell that the page left open (cut short) ended. Call once, last.
  std::unique_ptr<SheetStore> Finish();

 private:
  TableLayout layout_;
  VisibleText text_;
  int depth_ = 0;                    // tables open, the sheet's own counted as 1
  bool done_ = false;                // the sheet's table has ended
  bool in_cell_ = false;             // inside one of the sheet's cells
  int hidden_ = 0;                   // hidden elements open
  int preformatted_ = 0;             // <pre> elements open
  bool nested_row_started_ = false;  // a cell of the nested table's current row was seen
};

}  // namespace zerova

#endif  // ZEROVA_FORMATS_HTML_FIRST_TABLE_H_
