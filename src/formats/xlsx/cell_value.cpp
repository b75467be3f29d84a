#include "formats/xlsx/cell_value.h"

#include "formats/numbers/date_serial.h"
#include "formats/numbers/value_text.h"
#include "formats/xlsx/string_item.h"

namespace zerova {
namespace {

XlsxCellType TypeOf(std::string_view t) {
  if (t.empty() || t == "n") return XlsxCellType::kNumber;
  if (t == "s") return XlsxCellType::kSharedString;
  if (t == "inlineStr") return XlsxCellType::kInlineString;
  if (t == "str") return XlsxCellType::kFormulaString;
  if (t == "b") return XlsxCellType::kBoolean;
  if (t == "e") return XlsxCellType::kError;
  if (t == "d") return XlsxCellType::kDate;
  return XlsxCellType::kUnknown;
}

// `what` followed by `text` in quotes.
std::string Quoted(const char* what, const std::string& text) {
  return std::string(what) + " \"" + text + "\"";
}

}  // namespace

void XlsxRawCell::Start(std::string_view t, std::string_view s) {
  type = TypeOf(t);
  if (type == XlsxCellType::kUnknown) unknown_type = t;
  style = 0;
  bad_style.clear();
  if (!s.empty() && !ParseCountText(s, &style)) bad_style = s;
  value.clear();
  has_value = false;
  inline_text.clear();
  has_inline = false;
}

bool XlsxCellValues::ValueOf(XlsxRawCell& cell, SheetStore& sheet, PackedValue* value,
                             std::string* fault) const {
  if (cell.type == XlsxCellType::kInlineString) {
    // The text of <is>, or of <v> as some writers put it.
    if (cell.has_inline) {
      *value = sheet.Text(cell.inline_text);
    } else {
      DecodeXlsxEscapes(cell.value);
      *value = sheet.Text(cell.value);
    }
    return true;
  }
  *value = PackedValue::Empty();
  if (!cell.has_value || cell.value.empty()) return true;
  switch (cell.type) {
    case XlsxCellType::kNumber:
      return NumberCell(cell, value, fault);
    case XlsxCellType::kSharedString:
      return SharedString(cell, value, fault);
    case XlsxCellType::kFormulaString:  // a formula's text result
      DecodeXlsxEscapes(cell.value);
      *value = sheet.Text(cell.value);
      return true;
    case XlsxCellType::kBoolean:
      return BooleanCell(cell, value, fault);
    case XlsxCellType::kError:
      return ErrorCell(cell, value, fault);
    case XlsxCellType::kDate:
      return DateCell(cell, value, fault);
    default:
      *fault = Quoted("unknown cell type", cell.unknown_type);
      return false;
  }
}

// A number, or a date when the cell's style shows one.
bool XlsxCellValues::NumberCell(const XlsxRawCell& cell, PackedValue* value,
                                std::string* fault) const {
  double number = 0;
  if (!ParseNumberText(cell.value, &number)) {
    *fault = Quoted("bad number", cell.value);
    return false;
  }
  if (!cell.bad_style.empty()) {
    *fault = Quoted("bad style index", cell.bad_style);
    return false;
  }
  const bool date = cell.style < date_styles_.size() && date_styles_[cell.style];
  *value = date ? PackedValue::Date(number, date_system_) : PackedValue::Number(number);
  return true;
}

// The index of a shared string, which the store holds at the same index.
bool XlsxCellValues::SharedString(const XlsxRawCell& cell, PackedValue* value,
                                  std::string* fault) const {
  std::uint64_t index = 0;
  if (!ParseCountText(cell.value, &index)) {
    *fault = Quoted("bad shared string index", cell.value);
    return false;
  }
  if (index >= shared_string_count_) {
    *fault = "shared string " + cell.value + " is missing";
    return false;
  }
  *value = PackedValue::String(static_cast<std::uint32_t>(index));
  return true;
}

bool XlsxCellValues::BooleanCell(const XlsxRawCell& cell, PackedValue* value,
                                 std::string* fault) const {
  bool truth = false;
  if (!ParseBooleanText(cell.value, &truth)) {
    *fault = Quoted("bad boolean", cell.value);
    return false;
  }
  *value = PackedValue::Boolean(truth);
  return true;
}

bool XlsxCellValues::ErrorCell(const XlsxRawCell& cell, PackedValue* value,
                               std::string* fault) const {
  CellError error;
  if (!CellErrorFromText(cell.value, &error)) {
    *fault = Quoted("unknown error value", cell.value);
    return false;
  }
  *value = PackedValue::Error(error);
  return true;
}

// ISO 8601 text, a date whatever the cell's style.
bool XlsxCellValues::DateCell(const XlsxRawCell& cell, PackedValue* value,
                              std::string* fault) const {
  double serial = 0;
  if (!SerialFromIsoDateTime(cell.value, date_system_, &serial)) {
    *fault = Quoted("bad date", cell.value);
    return false;
  }
  *value = PackedValue::Date(serial, date_system_);
  return true;
}

}  // namespace zerova
