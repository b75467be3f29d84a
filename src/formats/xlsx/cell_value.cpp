#include "formats/xlsx/cell_value.h"

#include "formats/numbers/date_serial.h"
#include "formats/numbers/value_text.h"
#include "formats/xlsx/string_item.h"

namespace zerova {
namespace {

XlsxCellType TypeOf(std::string_view t) {
  if (t.size() == 1) {
    switch (t[0]) {
      case 'n':
        return XlsxCellType::kNumber;
      case 's':
        return XlsxCellType::kSharedString;
      case 'b':
        return XlsxCellType::kBoolean;
      case 'e':
        return XlsxCellType::kError;
      case 'd':
        return XlsxCellType::kDate;
      default:
        return XlsxCellType::kUnknown;
    }
  }
  if (t.empty()) return XlsxCellType::kNumber;
  if (t == "inlineStr") return XlsxCellType::kInlineString;
  if (t == "str") return XlsxCellType::kFormulaString;
  return XlsxCellType::kUnknown;
}

// The facts a cell's refusal starts with, as the other readers word them.
constexpr char kMalformedValue[] = "a cell's value is malformed";
constexpr char kMissingString[] = "a cell refers to a shared string that does not exist";
constexpr char kMissingFormat[] = "a cell refers to a cell format that does not exist";

// Sets `*fault` to `fact`, with `what` followed by `text` in quotes as the detail.
bool Refuse(XlsxCellFault* fault, const char* fact, const char* what, std::string_view text) {
  fault->fact = fact;
  fault->detail = std::string(what) + " \"" + std::string(text) + "\"";
  return false;
}

// The text of the cell's <v> with its escapes decoded, kept in the cell.
std::string_view Decoded(XlsxRawCell& cell) {
  cell.decoded.assign(cell.value);
  DecodeXlsxEscapes(cell.decoded);
  return cell.decoded;
}

}  // namespace

void XlsxRawCell::Start(std::string_view t, std::string_view s, std::string_view v, bool v_present,
                        std::string_view is, bool is_present) {
  type = TypeOf(t);
  unknown_type = type == XlsxCellType::kUnknown ? t : std::string_view();
  style = 0;
  bad_style = {};
  if (!s.empty() && !ParseCountText(s, &style)) bad_style = s;
  value = v;
  has_value = v_present;
  inline_text = is;
  has_inline = is_present;
}

bool XlsxCellValues::ValueOf(XlsxRawCell& cell, SheetStore& sheet, PackedValue* value,
                             XlsxCellFault* fault) const {
  if (cell.type == XlsxCellType::kInlineString) {
    // The text of <is>, or of <v> as some writers put it.
    if (cell.has_inline) {
      *value = sheet.Text(cell.inline_text);
    } else {
      *value = sheet.Text(Decoded(cell));
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
      *value = sheet.Text(Decoded(cell));
      return true;
    case XlsxCellType::kBoolean:
      return BooleanCell(cell, value, fault);
    case XlsxCellType::kError:
      return ErrorCell(cell, value, fault);
    case XlsxCellType::kDate:
      return DateCell(cell, value, fault);
    default:
      return Refuse(fault, kMalformedValue, "unknown cell type", cell.unknown_type);
  }
}

// A number, or a date when the cell's style shows one.
bool XlsxCellValues::NumberCell(const XlsxRawCell& cell, PackedValue* value,
                                XlsxCellFault* fault) const {
  double number = 0;
  if (!ParseNumberText(cell.value, &number)) {
    return Refuse(fault, kMalformedValue, "bad number", cell.value);
  }
  if (!cell.bad_style.empty()) {
    return Refuse(fault, kMissingFormat, "bad style index", cell.bad_style);
  }
  const bool date = cell.style < date_styles_.size() && date_styles_[cell.style];
  *value = date ? PackedValue::Date(number, date_system_) : PackedValue::Number(number);
  return true;
}

// The index of a shared string, which the store holds at the same index.
bool XlsxCellValues::SharedString(const XlsxRawCell& cell, PackedValue* value,
                                  XlsxCellFault* fault) const {
  std::uint64_t index = 0;
  if (!ParseCountText(cell.value, &index)) {
    return Refuse(fault, kMalformedValue, "bad shared string index", cell.value);
  }
  if (index >= shared_string_count_) {
    fault->fact = kMissingString;
    fault->detail = "shared string " + std::string(cell.value) + " is missing";
    return false;
  }
  *value = PackedValue::String(static_cast<std::uint32_t>(index));
  return true;
}

bool XlsxCellValues::BooleanCell(const XlsxRawCell& cell, PackedValue* value,
                                 XlsxCellFault* fault) const {
  bool truth = false;
  if (!ParseBooleanText(cell.value, &truth)) {
    return Refuse(fault, kMalformedValue, "bad boolean", cell.value);
  }
  *value = PackedValue::Boolean(truth);
  return true;
}

bool XlsxCellValues::ErrorCell(const XlsxRawCell& cell, PackedValue* value,
                               XlsxCellFault* fault) const {
  CellError error;
  if (!CellErrorFromText(std::string(cell.value), &error)) {
    return Refuse(fault, kMalformedValue, "unknown error value", cell.value);
  }
  *value = PackedValue::Error(error);
  return true;
}

// ISO 8601 text, a date whatever the cell's style.
bool XlsxCellValues::DateCell(const XlsxRawCell& cell, PackedValue* value,
                              XlsxCellFault* fault) const {
  double serial = 0;
  if (!SerialFromIsoDateTime(cell.value, date_system_, &serial)) {
    return Refuse(fault, kMalformedValue, "bad date", cell.value);
  }
  *value = PackedValue::Date(serial, date_system_);
  return true;
}

}  // namespace zerova
