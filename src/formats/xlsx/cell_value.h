// The value of one worksheet cell (<c>) of an .xlsx workbook, from what its
// element holds.
//
// A cell's kind comes from its t attribute (ECMA-376 Part 1, ST_CellType): n or
// none (a number, or a date when its style's format shows one), s (a shared
// string), inlineStr, str (a formula's text), b, e (one of the seven error texts),
// d (ISO 8601 text: always a date).
#ifndef ZEROVA_FORMATS_XLSX_CELL_VALUE_H_
#define ZEROVA_FORMATS_XLSX_CELL_VALUE_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "formats/sheet/packed_value.h"
#include "formats/sheet/sheet_store.h"
#include "services/cell_value.h"

namespace zerova {

enum class XlsxCellType : std::uint8_t {
  kNumber,
  kSharedString,
  kInlineString,
  kFormulaString,
  kBoolean,
  kError,
  kDate,
  kUnknown
};

// What one <c> element holds, before its kind is decided: views of text kept
// elsewhere (its record's, formats/xlsx/cell_records.h), valid while its value
// is made. Reused from cell to cell: Start sets it anew.
struct XlsxRawCell {
  // A new cell with the attributes t and s (`type`, `style`: "" when absent),
  // its value's text `value` when `has_value`, and its <is> text (escapes
  // decoded) `inline_text` when `has_inline`.
  void Start(std::string_view type, std::string_view style, std::string_view value, bool has_value,
             std::string_view inline_text, bool has_inline);

  XlsxCellType type = XlsxCellType::kNumber;
  std::string_view unknown_type;  // t, when the type is kUnknown
  std::uint64_t style = 0;        // s
  std::string_view bad_style;     // s, when it is no index
  std::string_view value;         // the text of <v>
  bool has_value = false;
  std::string_view inline_text;  // the text of <is>, escapes decoded
  bool has_inline = false;
  std::string decoded;  // the value's text with its escapes decoded, for text cells
};

// Why a cell's value is refused: the plain fact ("a cell's value is malformed")
// and the detail ("bad number \"1x\"").
struct XlsxCellFault {
  const char* fact = nullptr;
  std::string detail;
};

// Makes cells' values by one workbook's rules.
class XlsxCellValues {
 public:
  // `date_styles[i]` tells whether cell format i shows a date; shared strings
  // are the store's first `shared_string_count` strings.
  XlsxCellValues(DateSystem date_system, std::vector<bool> date_styles,
                 std::uint32_t shared_string_count)
      : date_system_(date_system),
        date_styles_(std::move(date_styles)),
        shared_string_count_(shared_string_count) {}

  // Sets `*value` to the value `cell` makes (empty when it has none); text of its
  // own goes into `sheet`. Returns false, with `*fault` saying what is wrong,
  // when its value does not fit its type, names a shared string the workbook
  // lacks, or its style is no index.
  bool ValueOf(XlsxRawCell& cell, SheetStore& sheet, PackedValue* value,
               XlsxCellFault* fault) const;

 private:
  // One step per type; each reads the cell's <v> text.
  bool NumberCell(const XlsxRawCell& cell, PackedValue* value, XlsxCellFault* fault) const;
  bool SharedString(const XlsxRawCell& cell, PackedValue* value, XlsxCellFault* fault) const;
  bool BooleanCell(const XlsxRawCell& cell, PackedValue* value, XlsxCellFault* fault) const;
  bool ErrorCell(const XlsxRawCell& cell, PackedValue* value, XlsxCellFault* fault) const;
  bool DateCell(const XlsxRawCell& cell, PackedValue* value, XlsxCellFault* fault) const;

  DateSystem date_system_;
  std::vector<bool> date_styles_;
  std::uint32_t shared_string_count_;
};

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XLSX_CELL_VALUE_H_
