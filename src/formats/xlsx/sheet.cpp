#include "formats/xlsx/sheet.h"

#include "formats/sheet/cell_address.h"
#include "formats/xlsx/cell_value.h"
#include "formats/xlsx/package.h"
#include "formats/xlsx/string_item.h"
#include "formats/xml/member_parse.h"
#include "services/error.h"

namespace zerova {
namespace {

// The worksheet's elements as the parser meets them: under <sheetData>, a <row>
// at depth 2 starts a row and a <c> at depth 3 is a cell; a cell's direct
// children <v> and <is> hold its value, and everything else in it is left out.
// A cell's faults are told at its end tag, in the order its reference, then its
// value.
class SheetHandler final : public SaxHandler {
 public:
  SheetHandler(std::string file, std::string part, XlsxSheetContext context)
      : file_(std::move(file)),
        part_(std::move(part)),
        // The shared strings are the store's first strings, so a cell names one by its index.
        sheet_(std::make_unique<SheetStore>(std::move(context.shared_strings))),
        values_(context.date_system, std::move(context.date_styles), sheet_->string_count()) {}

  void StartElement(const SaxElement& element) override;
  void EndElement(int depth) override;
  void Text(std::string_view text) override {
    if (child_ == Child::kValue) {
      cell_.value.append(text);
    } else if (child_ == Child::kItem) {
      item_.Text(text);
    }
  }

  std::unique_ptr<SheetStore> Seal() {
    sheet_->Seal();
    return std::move(sheet_);
  }

 private:
  // What the open direct child of the cell is.
  enum class Child { kNone, kValue, kItem, kOther };

  // True iff `ns` is SpreadsheetML's. libxml2 hands each namespace URI on as one
  // string for the whole document, so the one found is known by its address.
  bool InSpreadsheetNamespace(std::string_view ns) {
    if (ns.data() == spreadsheet_ns_) return true;
    if (!IsSpreadsheetNamespace(ns)) return false;
    spreadsheet_ns_ = ns.data();
    return true;
  }
  void StartRow(const SaxElement& row);
  void StartCell(const SaxElement& cell);
  void StartChild(std::string_view local_name);
  void EndCell();

  // Throws ReadError "FILE: PART: `what`".
  [[noreturn]] void Fail(const std::string& what) const {
    throw ReadError(file_, part_ + ": " + what);
  }

  std::string file_;
  std::string part_;
  std::unique_ptr<SheetStore> sheet_;
  XlsxCellValues values_;
  const char* spreadsheet_ns_ = nullptr;
  bool in_data_ = false;          // inside <sheetData>
  bool in_cell_ = false;          // inside a cell's <c>
  Child child_ = Child::kNone;    // the cell's open direct child
  XlsxRawCell cell_;              // the cell being read
  XlsxStringItem item_;           // its <is>, being read
  std::string reference_;         // its r attribute, when it is no reference
  std::int64_t row_ = 0;          // the current row
  std::int64_t next_column_ = 1;  // the column of a following cell without r
  std::int64_t cell_row_ = 0;     // the cell being read
  std::int64_t cell_column_ = 0;
};

void SheetHandler::StartElement(const SaxElement& element) {
  const std::string_view name = element.local_name();
  switch (element.depth()) {
    case 0:
      if (name != "worksheet" || !InSpreadsheetNamespace(element.ns())) {
        Fail("the sheet is not a worksheet");
      }
      break;
    case 1:
      if (name == "sheetData") in_data_ = true;
      break;
    case 2:
      if (in_data_ && name == "row" && InSpreadsheetNamespace(element.ns())) StartRow(element);
      break;
    case 3:
      if (in_data_ && name == "c" && InSpreadsheetNamespace(element.ns())) StartCell(element);
      break;
    case 4:
      if (in_cell_) StartChild(name);
      break;
    default:
      if (child_ == Child::kItem) item_.StartElement(name, element.depth());
  }
}

void SheetHandler::EndElement(int depth) {
  if (depth > 4) {
    if (child_ == Child::kItem) item_.EndElement(depth);
  } else if (depth == 4) {
    if (child_ == Child::kItem) {
      cell_.inline_text = item_.Finish();
      cell_.has_inline = true;
    }
    child_ = Child::kNone;
  } else if (depth == 3) {
    if (in_cell_) EndCell();
  } else if (depth == 1) {
    in_data_ = false;  // the end of <sheetData>: no other element at depth 1 can be open
  }
}

// A row with r starts there; one without follows the row before it.
void SheetHandler::StartRow(const SaxElement& row) {
  bool numbered = false;
  row.ForEachAttribute([&](std::string_view ns, std::string_view name, std::string_view value) {
    if (ns.empty() && name == "r") {
      reference_ = value;
      numbered = true;
    }
  });
  if (numbered) {
    if (!ParseRowNumber(reference_, &row_)) Fail("bad row number \"" + reference_ + "\"");
  } else if (++row_ > kMaxRows) {
    Fail("more than 1,048,576 rows");
  }
  next_column_ = 1;
}

// A cell with r stands there; one without follows the cell before it.
void SheetHandler::StartCell(const SaxElement& element) {
  std::string_view reference, type, style;
  element.ForEachAttribute([&](std::string_view ns, std::string_view name, std::string_view value) {
    if (!ns.empty() || name.size() != 1) return;
    if (name == "r") {
      reference = value;
    } else if (name == "t") {
      type = value;
    } else if (name == "s") {
      style = value;
    }
  });
  cell_.Start(type, style);
  cell_row_ = row_ == 0 ? 1 : row_;
  cell_column_ = next_column_;
  reference_.clear();
  if (!reference.empty() && !ParseCellReference(reference, &cell_row_, &cell_column_)) {
    reference_ = reference;
  }
  in_cell_ = true;
  child_ = Child::kNone;
}

// A direct child of <c>: the last <v> or <is> gives the cell's value.
void SheetHandler::StartChild(std::string_view local_name) {
  if (local_name == "v") {
    cell_.value.clear();
    cell_.has_value = true;
    child_ = Child::kValue;
  } else if (local_name == "is") {
    item_.Start();
    child_ = Child::kItem;
  } else {
    child_ = Child::kOther;  // <f>, <extLst>
  }
}

void SheetHandler::EndCell() {
  in_cell_ = false;
  if (!reference_.empty()) Fail("bad cell reference \"" + reference_ + "\"");
  if (cell_column_ > kMaxColumns) {
    Fail("more than 16,384 cells in row " + std::to_string(cell_row_));
  }
  next_column_ = cell_column_ + 1;
  PackedValue value;
  std::string fault;
  if (!values_.ValueOf(cell_, *sheet_, &value, &fault)) {
    Fail("cell " + CellReferenceText(cell_row_, cell_column_) + ": " + fault);
  }
  if (!value.IsEmpty()) sheet_->PutValue(cell_row_, cell_column_, value);
}

}  // namespace

std::unique_ptr<SheetStore> ReadXlsxSheet(ZipArchive& zip, const std::string& part,
                                          XlsxSheetContext context) {
  SheetHandler handler(zip.file(), part, std::move(context));
  ParseXmlMember(zip.Open(part), zip.file(), handler);
  return handler.Seal();
}

}  // namespace zerova
