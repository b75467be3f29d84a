#include "formats/xlsx/sheet.h"

#include <charconv>

#include "formats/numbers/date_serial.h"
#include "formats/numbers/value_text.h"
#include "formats/sheet/cell_address.h"
#include "formats/xlsx/package.h"
#include "formats/xlsx/shared_strings.h"
#include "formats/xml/xml_stream.h"
#include "services/error.h"

namespace zerova {
namespace {

// What one <c> element holds, before its kind is decided.
struct RawCell {
  std::string reference;  // r
  std::string type;       // t
  std::string style;      // s
  std::string value;      // <v>
  bool has_value = false;
  std::string inline_text;  // <is>
  bool has_inline = false;
};

class SheetParser {
 public:
  SheetParser(ZipArchive& zip, const std::string& part, XlsxSheetContext context)
      : xml_(zip.Open(part), zip.file()),
        date_system_(context.date_system),
        date_styles_(std::move(context.date_styles)),
        // The shared strings are the store's first strings, so a cell names one by its index.
        sheet_(std::make_unique<SheetStore>(std::move(context.shared_strings))),
        shared_string_count_(sheet_->string_count()) {}

  std::unique_ptr<SheetStore> Parse();

 private:
  void StartRow();
  void ReadCell();
  // Reads the <c> element the stream is on into raw_.
  void ReadRawCell();
  // The cell's value; its text, when it has some of its own, goes into the store.
  PackedValue ValueOf(RawCell& cell);

  // One step per cell type (t attribute); each reads the cell's <v> text.
  PackedValue InlineString(RawCell& cell);
  PackedValue NumberCell(const RawCell& cell);
  PackedValue SharedString(const RawCell& cell);
  PackedValue FormulaString(RawCell& cell);
  PackedValue BooleanCell(const RawCell& cell);
  PackedValue ErrorCell(const RawCell& cell);
  PackedValue DateCell(const RawCell& cell);

  // Throws ReadError naming the part and the cell being read.
  [[noreturn]] void CellFails(const std::string& what) {
    xml_.Fail("cell " + CellReferenceText(cell_row_, cell_column_) + ": " + what);
  }

  XmlStream xml_;
  DateSystem date_system_;
  std::vector<bool> date_styles_;
  std::unique_ptr<SheetStore> sheet_;
  std::uint32_t shared_string_count_;
  RawCell raw_;                   // the cell being read, reused from cell to cell
  std::int64_t row_ = 0;          // the current row
  std::int64_t next_column_ = 1;  // the column of a following cell without r
  std::int64_t cell_row_ = 0;     // the cell being read
  std::int64_t cell_column_ = 0;
};

std::unique_ptr<SheetStore> SheetParser::Parse() {
  bool in_data = false;
  while (xml_.Next()) {
    if (xml_.Depth() == 0 && xml_.node() == XmlStream::Node::kStart &&
        (xml_.LocalName() != "worksheet" || !IsSpreadsheetNamespace(xml_.Namespace()))) {
      xml_.Fail("the sheet is not a worksheet");
    }
    if (xml_.Depth() == 1 && xml_.LocalName() == "sheetData") {
      in_data = xml_.node() == XmlStream::Node::kStart && !xml_.IsEmpty();
      continue;
    }
    if (!in_data || xml_.node() != XmlStream::Node::kStart ||
        !IsSpreadsheetNamespace(xml_.Namespace())) {
      continue;
    }
    if (xml_.Depth() == 2 && xml_.LocalName() == "row") {
      StartRow();
    } else if (xml_.Depth() == 3 && xml_.LocalName() == "c") {
      ReadCell();
    }
  }
  sheet_->Seal();
  return std::move(sheet_);
}

void SheetParser::StartRow() {
  std::string r;
  if (xml_.Attribute("", "r", &r)) {
    if (!ParseRowNumber(r, &row_)) xml_.Fail("bad row number \"" + r + "\"");
  } else if (++row_ > kMaxRows) {
    xml_.Fail("more than 1,048,576 rows");
  }
  next_column_ = 1;
}

void SheetParser::ReadCell() {
  ReadRawCell();
  const RawCell& cell = raw_;
  std::int64_t row = row_ == 0 ? 1 : row_;
  std::int64_t column = next_column_;
  if (!cell.reference.empty()) {
    if (!ParseCellReference(cell.reference, &row, &column)) {
      xml_.Fail("bad cell reference \"" + cell.reference + "\"");
    }
  } else if (column > kMaxColumns) {
    xml_.Fail("more than 16,384 cells in row " + std::to_string(row));
  }
  next_column_ = column + 1;
  cell_row_ = row;
  cell_column_ = column;
  const PackedValue value = ValueOf(raw_);
  if (!value.IsEmpty()) sheet_->PutValue(row, column, value);
}

void SheetParser::ReadRawCell() {
  RawCell& cell = raw_;
  cell.reference.clear();
  cell.type.clear();
  cell.style.clear();
  cell.value.clear();
  cell.has_value = false;
  cell.inline_text.clear();
  cell.has_inline = false;
  xml_.ForEachAttribute([&](std::string_view ns, std::string_view name, std::string_view value) {
    if (!ns.empty()) return;
    if (name == "r") cell.reference = value;
    if (name == "t") cell.type = value;
    if (name == "s") cell.style = value;
  });
  if (xml_.IsEmpty()) return;
  const int depth = xml_.Depth();
  while (xml_.Next()) {
    if (xml_.node() == XmlStream::Node::kEnd && xml_.Depth() == depth) break;
    if (xml_.node() != XmlStream::Node::kStart) continue;
    const std::string_view name = xml_.LocalName();
    if (name == "v") {
      cell.value = xml_.ReadText();
      cell.has_value = true;
    } else if (name == "is") {
      cell.inline_text = ReadXlsxStringItem(xml_);
      cell.has_inline = true;
    } else {
      xml_.SkipElement();  // <f>, <extLst>
    }
  }
}

PackedValue SheetParser::ValueOf(RawCell& cell) {
  const std::string& type = cell.type;
  if (type == "inlineStr") return InlineString(cell);
  if (!cell.has_value || cell.value.empty()) return PackedValue::Empty();
  if (type.empty() || type == "n") return NumberCell(cell);
  if (type == "s") return SharedString(cell);
  if (type == "str") return FormulaString(cell);
  if (type == "b") return BooleanCell(cell);
  if (type == "e") return ErrorCell(cell);
  if (type == "d") return DateCell(cell);
  CellFails("unknown cell type \"" + type + "\"");
}

// t="inlineStr": the text of <is>, or of <v> as some writers put it.
PackedValue SheetParser::InlineString(RawCell& cell) {
  if (cell.has_inline) return sheet_->Text(cell.inline_text);
  DecodeXlsxEscapes(cell.value);
  return sheet_->Text(cell.value);
}

// t="n" or none: a number, or a date when the cell's style shows one.
PackedValue SheetParser::NumberCell(const RawCell& cell) {
  const std::string& v = cell.value;
  double number = 0;
  if (!ParseNumberText(v, &number)) CellFails("bad number \"" + v + "\"");
  std::uint64_t style = 0;
  if (!cell.style.empty() && !ParseCountText(cell.style, &style)) {
    CellFails("bad style index \"" + cell.style + "\"");
  }
  if (style < date_styles_.size() && date_styles_[style]) {
    return PackedValue::Date(number, date_system_);
  }
  return PackedValue::Number(number);
}

// t="s": the index of a shared string, which the store holds at the same index.
PackedValue SheetParser::SharedString(const RawCell& cell) {
  const std::string& v = cell.value;
  std::uint64_t index = 0;
  if (!ParseCountText(v, &index)) {
    CellFails("bad shared string index \"" + v + "\"");
  }
  if (index >= shared_string_count_) CellFails("shared string " + v + " is missing");
  return PackedValue::String(static_cast<std::uint32_t>(index));
}

// t="str": a formula's text result.
PackedValue SheetParser::FormulaString(RawCell& cell) {
  DecodeXlsxEscapes(cell.value);
  return sheet_->Text(cell.value);
}

PackedValue SheetParser::BooleanCell(const RawCell& cell) {
  bool value = false;
  if (!ParseBooleanText(cell.value, &value)) CellFails("bad boolean \"" + cell.value + "\"");
  return PackedValue::Boolean(value);
}

PackedValue SheetParser::ErrorCell(const RawCell& cell) {
  CellError error;
  if (!CellErrorFromText(cell.value, &error)) {
    CellFails("unknown error value \"" + cell.value + "\"");
  }
  return PackedValue::Error(error);
}

// t="d": ISO 8601 text, a date whatever the cell's style.
PackedValue SheetParser::DateCell(const RawCell& cell) {
  double serial = 0;
  if (!SerialFromIsoDateTime(cell.value, date_system_, &serial)) {
    CellFails("bad date \"" + cell.value + "\"");
  }
  return PackedValue::Date(serial, date_system_);
}

}  // namespace

std::unique_ptr<SheetStore> ReadXlsxSheet(ZipArchive& zip, const std::string& part,
                                          XlsxSheetContext context) {
  return SheetParser(zip, part, std::move(context)).Parse();
}

}  // namespace zerova
