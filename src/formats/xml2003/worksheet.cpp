#include "formats/xml2003/worksheet.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "formats/numbers/date_serial.h"
#include "formats/numbers/value_text.h"
#include "formats/xml2003/names.h"
#include "services/cell_address.h"

namespace zerova {
namespace {

// Indexes and spans are clamped here: far past the grid, and far from overflowing.
constexpr std::int64_t kMaxCount = std::int64_t{1} << 40;

constexpr char kMalformedValue[] = "a cell's value is malformed";

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
  return text;
}

// Parses a DateTime value: ISO 8601 as formats/numbers/date_serial.h reads it, or
// a day and a time past 24 hours, as LibreOffice writes a duration:
// "1899-12-31T36:00:00.000" is a day and a half after 1899-12-31.
bool ParseDateTime(std::string_view text, DateSystem system, double* serial) {
  if (SerialFromIsoDateTime(text, system, serial)) return true;
  const std::size_t t = text.find('T');
  if (t == std::string_view::npos) return false;
  const std::string_view time = text.substr(t + 1);
  const std::size_t colon = time.find(':');
  if (colon == std::string_view::npos || time.size() - colon < 6 || time[colon + 3] != ':') {
    return false;
  }
  // hh:mm:ss[.fff] as the duration PThhHmmMss[.fff]S.
  const std::string duration = "PT" + std::string(time.substr(0, colon)) + "H" +
                               std::string(time.substr(colon + 1, 2)) + "M" +
                               std::string(time.substr(colon + 4)) + "S";
  double day = 0, days = 0;
  if (!SerialFromIsoDateTime(text.substr(0, t), system, &day) ||
      !DaysFromIsoDuration(duration, &days)) {
    return false;
  }
  *serial = day + days;
  return true;
}

// The ss: attributes of a row or cell that place it and pick its style.
struct Placement {
  std::string index, span, style;  // span: ss:Span of a row, ss:MergeAcross of a cell
};

class TableReader {
 public:
  TableReader(XmlStream& xml, const Xml2003Styles& styles, DateSystem system)
      : xml_(xml), styles_(styles), system_(system) {}

  Xml2003Sheet Read(bool read_cells);

 private:
  // Reads the WorksheetOptions element the stream is on, through its end.
  SheetVisibility ReadOptions();
  // Reads the ss: attributes of the current element; `span` names the spanning one.
  Placement ReadPlacement(std::string_view span);
  // A decimal count, at least `least`, clamped to kMaxCount; throws for anything else.
  std::int64_t ParseCount(std::string_view what, const std::string& text, std::int64_t least);
  void ReadRow();
  void ReadCell(std::int64_t column, const std::string& style);
  CellValue ReadData(const std::string& style);

  XmlStream& xml_;
  const Xml2003Styles& styles_;
  DateSystem system_;
  std::unique_ptr<SheetStore> sheet_ = std::make_unique<SheetStore>();
  std::int64_t row_ = 0;       // the row being read
  std::int64_t next_row_ = 1;  // where a row without ss:Index stands
};

bool IsSpreadsheet(const XmlStream& xml, std::string_view name) {
  return xml.LocalName() == name && xml.Namespace() == kSpreadsheetNamespace;
}

Xml2003Sheet TableReader::Read(bool read_cells) {
  Xml2003Sheet sheet;
  for (ElementWalk walk(xml_); walk.Next();) {
    if (walk.Level() == 1 && read_cells && IsSpreadsheet(xml_, "Table")) continue;
    if (walk.Level() == 1 && xml_.LocalName() == "WorksheetOptions" &&
        xml_.Namespace() == kExcelNamespace) {
      sheet.visibility = ReadOptions();
    } else if (walk.Level() == 2 && IsSpreadsheet(xml_, "Row")) {
      ReadRow();
    } else {
      xml_.SkipElement();  // columns, names, conditional formats
    }
  }
  if (read_cells) {
    sheet_->Seal(xml_.progress());
    sheet.cells = std::move(sheet_);
  }
  return sheet;
}

SheetVisibility TableReader::ReadOptions() {
  SheetVisibility visibility = SheetVisibility::kVisible;
  for (ElementWalk walk(xml_); walk.Next();) {
    if (xml_.LocalName() != "Visible" || xml_.Namespace() != kExcelNamespace) {
      xml_.SkipElement();
      continue;
    }
    const std::string state = xml_.ReadText();
    if (state == "SheetHidden") visibility = SheetVisibility::kHidden;
    if (state == "SheetVeryHidden") visibility = SheetVisibility::kVeryHidden;
  }
  return visibility;
}

Placement TableReader::ReadPlacement(std::string_view span) {
  Placement p;
  // Excel prefixes every attribute with ss:; some writers leave the prefix out.
  xml_.ForEachAttribute([&](std::string_view ns, std::string_view name, std::string_view value) {
    if (ns != kSpreadsheetNamespace && !ns.empty()) return;
    if (name == "Index") p.index = value;
    if (name == span) p.span = value;
    if (name == "StyleID") p.style = value;
  });
  return p;
}

std::int64_t TableReader::ParseCount(std::string_view what, const std::string& text,
                                     std::int64_t least) {
  std::uint64_t count = 0;
  if (!ParseClampedCount(Trim(text), kMaxCount, &count) ||
      count < static_cast<std::uint64_t>(least)) {
    xml_.Damaged("a table is malformed", "bad " + std::string(what) + " \"" + text + "\"");
  }
  return static_cast<std::int64_t>(count);
}

void TableReader::ReadRow() {
  const Placement row = ReadPlacement("Span");
  row_ = row.index.empty() ? next_row_ : ParseCount("row index", row.index, 1);
  const std::int64_t span = row.span.empty() ? 0 : ParseCount("row span", row.span, 0);
  next_row_ = std::min(row_ + span + 1, kMaxCount);
  // Rows below the sheet are read only until one shows a value: the note then says so.
  if ((row_ > kSheetRows && sheet_->Clipped().rows) || xml_.IsEmpty()) {
    xml_.SkipElement();
    return;
  }
  std::int64_t next_column = 1;
  for (ElementWalk walk(xml_); walk.Next();) {
    if (!IsSpreadsheet(xml_, "Cell")) {
      xml_.SkipElement();
      continue;
    }
    const Placement cell = ReadPlacement("MergeAcross");
    const std::int64_t column =
        cell.index.empty() ? next_column : ParseCount("cell index", cell.index, 1);
    const std::int64_t across = cell.span.empty() ? 0 : ParseCount("merge", cell.span, 0);
    next_column = std::min(column + across + 1, kMaxCount);
    if ((column > kSheetColumns && sheet_->Clipped().columns) ||
        (row_ > kSheetRows && sheet_->Clipped().rows)) {
      xml_.SkipElement();
      continue;
    }
    ReadCell(column, cell.style.empty() ? row.style : cell.style);
  }
}

void TableReader::ReadCell(std::int64_t column, const std::string& style) {
  for (ElementWalk walk(xml_); walk.Next();) {
    if (IsSpreadsheet(xml_, "Data")) {
      CellValue value = ReadData(style.empty() ? "Default" : style);
      if (value.IsEmpty()) continue;
      if (row_ > kSheetRows) {
        sheet_->NoteRowsDropped();
      } else if (column > kSheetColumns) {
        sheet_->NoteColumnsDropped();
      } else {
        sheet_->Put(row_, column, value);
      }
    } else {
      xml_.SkipElement();  // comments, named cells, phonetic text
    }
  }
}

CellValue TableReader::ReadData(const std::string& style) {
  std::string type;
  if (!xml_.Attribute(kSpreadsheetNamespace, "Type", &type)) xml_.Attribute("", "Type", &type);
  const std::string text = xml_.ReadText();
  if (type == "String" || type.empty()) return CellValue::Text(text);
  const std::string_view value = Trim(text);
  if (type == "Number") {
    double number = 0;
    if (!ParseNumberText(value, &number)) {
      xml_.Damaged(kMalformedValue, "bad number \"" + text + "\"");
    }
    if (styles_.IsDate(style)) return CellValue::Date(number, system_);
    return CellValue::Number(number);
  }
  if (type == "DateTime") {
    double serial = 0;
    if (value.empty()) return CellValue::Empty();
    if (!ParseDateTime(value, system_, &serial)) {
      xml_.Damaged(kMalformedValue, "bad date \"" + text + "\"");
    }
    return CellValue::Date(serial, system_);
  }
  if (type == "Boolean") {
    bool truth = false;
    if (!ParseBooleanText(value, &truth)) {
      xml_.Damaged(kMalformedValue, "bad boolean \"" + text + "\"");
    }
    return CellValue::Boolean(truth);
  }
  if (type == "Error") {
    CellError error;
    if (!CellErrorFromText(std::string(value), &error)) {
      xml_.Damaged(kMalformedValue, "unknown error value \"" + text + "\"");
    }
    return CellValue::Error(error);
  }
  xml_.Damaged(kMalformedValue, "unknown data type \"" + type + "\"");
}

}  // namespace

Xml2003Sheet ReadXml2003Worksheet(XmlStream& xml, const Xml2003Styles& styles, DateSystem system,
                                  bool read_cells) {
  return TableReader(xml, styles, system).Read(read_cells);
}

}  // namespace zerova
