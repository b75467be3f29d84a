#include "formats/ods/content.h"

#include <algorithm>
#include <set>
#include <string>

#include "formats/ods/cell.h"
#include "formats/ods/names.h"
#include "formats/xml/xml_stream.h"
#include "services/cell_address.h"
#include "services/error.h"

namespace zerova {
namespace {

// Depth of table:table under office:document-content (or office:document)/office:body/
// office:spreadsheet.
constexpr int kTableDepth = 3;

class TableReader {
 public:
  TableReader(XmlStream& xml, DateSystem system) : xml_(xml), cells_(system, *sheet_) {}

  // Reads the table the stream is on, through its end, and returns it sealed.
  std::unique_ptr<SheetStore> Read();

 private:
  void ReadRow();
  // Reads the rows of the table the stream is on, through its end.
  void ReadRows();

  XmlStream& xml_;
  std::unique_ptr<SheetStore> sheet_ = std::make_unique<SheetStore>();
  OdsCellReader cells_;
  std::int64_t next_row_ = 1;
};

// True iff `date` is 1904-01-01, written with or without leading zeros ("1904-1-1", as
// Gnumeric does), a time after it allowed.
bool IsFirstDayOf1904(std::string_view date) {
  date = date.substr(0, date.find('T'));
  return date == "1904-01-01" || date == "1904-1-1" || date == "1904-01-1" || date == "1904-1-01";
}

bool IsTableElement(const XmlStream& xml, std::string_view name) {
  return xml.LocalName() == name && xml.Namespace() == kOdsTableNamespace;
}

// Reads the office:automatic-styles or office:styles element the stream is on,
// through its end, adding to `hidden` each table style that hides its tables
// (style:table-properties with table:display="false").
void ReadHiddenTableStyles(XmlStream& xml, std::set<std::string>& hidden) {
  std::string style, value;  // the table style being read, and an attribute's value
  for (ElementWalk walk(xml); walk.Next();) {
    const bool in_style = xml.Namespace() == kOdsStyleNamespace;
    if (walk.Level() == 1) {  // only a named table style is looked into
      if (!in_style || xml.LocalName() != "style" ||
          !xml.Attribute(kOdsStyleNamespace, "family", &value) || value != "table" ||
          !xml.Attribute(kOdsStyleNamespace, "name", &style)) {
        xml.SkipElement();
      }
    } else if (in_style && xml.LocalName() == "table-properties" &&
               xml.Attribute(kOdsTableNamespace, "display", &value) && value == "false") {
      hidden.insert(style);
    }
  }
}

std::unique_ptr<SheetStore> TableReader::Read() {
  ReadRows();
  sheet_->Seal();
  return std::move(sheet_);
}

void TableReader::ReadRows() {
  for (ElementWalk walk(xml_); walk.Next();) {
    if (IsTableElement(xml_, "table-row")) {
      ReadRow();
    } else if (!IsTableElement(xml_, "table-header-rows") && !IsTableElement(xml_, "table-rows") &&
               !IsTableElement(xml_, "table-row-group")) {
      xml_.SkipElement();  // columns, shapes, named ranges, ...
    }
  }
}

void TableReader::ReadRow() {
  std::int64_t repeat = 1;
  std::string repeat_text;
  if (xml_.Attribute(kOdsTableNamespace, "number-rows-repeated", &repeat_text)) {
    repeat = ParseOdsRepeat(xml_, repeat_text);
  }
  // Rows below the sheet are read only until one shows a value: the note then says so.
  if (next_row_ > kSheetRows && (sheet_->Clipped().rows || xml_.IsEmpty())) {
    xml_.SkipElement();
    return;
  }
  const std::int64_t first_row = next_row_;
  const std::int64_t last_row = std::min(next_row_ + repeat - 1, kSheetRows);
  const bool rows_cut = next_row_ + repeat - 1 > kSheetRows;
  next_row_ = first_row + std::min(repeat, kSheetRows + 1);

  std::int64_t column = 1;
  for (ElementWalk walk(xml_); walk.Next();) {
    // Cells past the sheet are read only until one shows a value, as rows are.
    if ((!IsTableElement(xml_, "table-cell") && !IsTableElement(xml_, "covered-table-cell")) ||
        (first_row > kSheetRows && sheet_->Clipped().rows) ||
        (column > kSheetColumns && sheet_->Clipped().columns)) {
      xml_.SkipElement();
      continue;
    }
    const OdsCell cell = cells_.Read(xml_);
    if (cell.value.IsEmpty() || first_row > kSheetRows) {
      if (!cell.value.IsEmpty()) sheet_->NoteRowsDropped();
      column += cell.repeat;
      continue;
    }
    if (rows_cut) sheet_->NoteRowsDropped();
    if (column + cell.repeat - 1 > kSheetColumns) sheet_->NoteColumnsDropped();
    if (column <= kSheetColumns) {
      const std::int64_t last_column = std::min(column + cell.repeat - 1, kSheetColumns);
      if (first_row == last_row && column == last_column) {
        sheet_->PutValue(first_row, column, cell.value);
      } else {
        sheet_->PutRun(first_row, last_row, column, last_column, cell.value);
      }
    }
    column += cell.repeat;
  }
}

}  // namespace

OdsBody ReadOdsBody(XmlStream& xml, const OdsTableWanted& wanted, bool list_all) {
  DateSystem system = DateSystem::k1900;
  OdsBody body;
  std::string value;
  std::set<std::string> hidden_styles;
  while (xml.Next()) {
    if (xml.node() != XmlStream::Node::kStart) continue;
    if (xml.Depth() == 0 &&
        (xml.Namespace() != kOdsOfficeNamespace ||
         (xml.LocalName() != "document-content" && xml.LocalName() != "document"))) {
      xml.Damaged("a part of it is not what it should be",
                  "its root element is not an OpenDocument document");
    }
    if (IsTableElement(xml, "null-date")) {
      if (xml.Attribute(kOdsTableNamespace, "date-value", &value)) {
        system = IsFirstDayOf1904(value) ? DateSystem::k1904 : DateSystem::k1900;
      }
    } else if (xml.Depth() == kTableDepth && IsTableElement(xml, "table")) {
      SheetInfo table;
      xml.Attribute(kOdsTableNamespace, "name", &table.name);
      if (xml.Attribute(kOdsTableNamespace, "style-name", &value) &&
          hidden_styles.contains(value)) {
        table.visibility = SheetVisibility::kHidden;
      }
      const std::size_t index = body.tables.size();
      const bool read =
          body.sheet == nullptr &&
          (wanted.index == index || (wanted.index == OdsTableWanted::kNone &&
                                     !wanted.name.empty() && table.name == wanted.name));
      body.tables.push_back(std::move(table));
      if (!read) {
        xml.SkipElement();
        continue;
      }
      body.sheet = TableReader(xml, system).Read();
      body.sheet_index = index;
      if (!list_all) return body;
    } else if (xml.Depth() == 1 && xml.Namespace() == kOdsOfficeNamespace &&
               (xml.LocalName() == "automatic-styles" || xml.LocalName() == "styles")) {
      ReadHiddenTableStyles(xml, hidden_styles);
    } else if (xml.Depth() > 0 && xml.Depth() < kTableDepth &&
               xml.Namespace() == kOdsOfficeNamespace && xml.LocalName() != "body" &&
               xml.LocalName() != "spreadsheet") {
      xml.SkipElement();  // styles, settings, scripts, fonts
    }
  }
  if (body.tables.empty()) xml.Damaged("the workbook holds no sheets", "no table:table element");
  return body;
}

}  // namespace zerova
