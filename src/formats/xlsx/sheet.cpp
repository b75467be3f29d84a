#include "formats/xlsx/sheet.h"

#include <algorithm>

#include "formats/sheet/cell_address.h"
#include "formats/xlsx/cell_value.h"
#include "formats/xlsx/package.h"
#include "formats/xlsx/string_item.h"
#include "formats/xml/member_parse.h"
#include "services/error.h"

namespace zerova {
namespace {

// The facts a refusal starts with, as the other readers word them.
constexpr char kOutsideGrid[] = "a cell lies outside the sheet's 1,048,576 rows and 16,384 columns";
constexpr char kMalformedAddress[] = "a cell's address is malformed";
constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

// True iff `text` is written as a row number: decimal digits, the first not 0.
bool IsRowNumber(std::string_view text) {
  return !text.empty() && text[0] != '0' &&
         text.find_first_not_of("0123456789") == std::string_view::npos;
}

// The fact for a row number the grid refused: written as one, it is past the
// last row; else it is malformed.
const char* RowFault(std::string_view text) {
  return IsRowNumber(text) ? kOutsideGrid : kMalformedAddress;
}

// The fact for a cell reference the grid refused: written as one (column
// letters, then a row number, "$" allowed before each), it names a cell past
// the grid; else it is malformed.
const char* ReferenceFault(std::string_view text) {
  if (text.starts_with('$')) text.remove_prefix(1);
  const std::size_t letters = std::min(text.find_first_not_of(kLetters), text.size());
  if (letters == 0) return kMalformedAddress;
  text.remove_prefix(letters);
  if (text.starts_with('$')) text.remove_prefix(1);
  return RowFault(text);
}

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
        sheet_name_(std::move(context.sheet_name)),
        // The shared strings are the store's first strings, so a cell names one by its index.
        sheet_(std::make_unique<SheetStore>(std::move(context.shared_strings))),
        values_(context.date_system, std::move(context.date_styles), sheet_->string_count()) {}

  void Prepare(const SaxNames& names) override;
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

  // The names the handler looks for, as this parse holds them.
  struct Names {
    SaxName main, strict;  // SpreadsheetML's namespace, transitional and strict
    SaxName worksheet, sheet_data, row, c, v, is;
    SaxName r, t, s;
  };

  // True iff `ns` is SpreadsheetML's. A document that has not named it yet (one
  // written without namespaces) is taken as SpreadsheetML until it does.
  bool InSpreadsheetNamespace(SaxName ns) {
    if (ns == names_.main || ns == names_.strict) {
      namespace_named_ = true;
      return true;
    }
    return ns.empty() && !namespace_named_;
  }
  void StartRow(const SaxElement& row);
  void StartCell(const SaxElement& cell);
  void StartChild(SaxName name);
  void EndCell();

  // Throws Damaged(file, `fact`, "PART: `detail`").
  [[noreturn]] void Fail(std::string_view fact, const std::string& detail) const {
    throw Damaged(file_, fact, part_ + ": " + detail);
  }

  std::string file_;
  std::string part_;
  std::string sheet_name_;
  std::unique_ptr<SheetStore> sheet_;
  XlsxCellValues values_;
  Names names_;
  bool namespace_named_ = false;  // an element in SpreadsheetML's namespace was met
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

void SheetHandler::Prepare(const SaxNames& names) {
  names_ = {names.Find(kXlsxNamespace),
            names.Find(kXlsxStrictNamespace),
            names.Find("worksheet"),
            names.Find("sheetData"),
            names.Find("row"),
            names.Find("c"),
            names.Find("v"),
            names.Find("is"),
            names.Find("r"),
            names.Find("t"),
            names.Find("s")};
}

void SheetHandler::StartElement(const SaxElement& element) {
  const SaxName name = element.name();
  switch (element.depth()) {
    case 0:
      if (name != names_.worksheet || !InSpreadsheetNamespace(element.ns())) {
        Fail("the part of sheet \"" + sheet_name_ + "\" holds no worksheet",
             "no <worksheet> at its root");
      }
      break;
    case 1:
      if (name == names_.sheet_data) in_data_ = true;
      break;
    case 2:
      if (in_data_ && name == names_.row && InSpreadsheetNamespace(element.ns())) {
        StartRow(element);
      }
      break;
    case 3:
      if (in_data_ && name == names_.c && InSpreadsheetNamespace(element.ns())) {
        StartCell(element);
      }
      break;
    case 4:
      if (in_cell_) StartChild(name);
      break;
    default:
      if (child_ == Child::kItem) item_.StartElement(element.local_name(), element.depth());
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
  std::string_view number;
  row.ForEachAttribute([&](const SaxAttribute& attribute) {
    if (attribute.name() == names_.r && attribute.ns().empty()) {
      number = attribute.value();
      numbered = true;
    }
  });
  if (numbered) {
    if (!ParseRowNumber(number, &row_)) {
      Fail(RowFault(number), "bad row number \"" + std::string(number) + "\"");
    }
  } else if (++row_ > kMaxRows) {
    Fail(kOutsideGrid, "more than 1,048,576 rows");
  }
  next_column_ = 1;
}

// A cell with r stands there; one without follows the cell before it.
void SheetHandler::StartCell(const SaxElement& element) {
  std::string_view reference, type, style;
  element.ForEachAttribute([&](const SaxAttribute& attribute) {
    if (!attribute.ns().empty()) return;
    const SaxName name = attribute.name();
    if (name == names_.r) {
      reference = attribute.value();
    } else if (name == names_.t) {
      type = attribute.value();
    } else if (name == names_.s) {
      style = attribute.value();
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
void SheetHandler::StartChild(SaxName name) {
  if (name == names_.v) {
    cell_.value.clear();
    cell_.has_value = true;
    child_ = Child::kValue;
  } else if (name == names_.is) {
    item_.Start();
    child_ = Child::kItem;
  } else {
    child_ = Child::kOther;  // <f>, <extLst>
  }
}

void SheetHandler::EndCell() {
  in_cell_ = false;
  if (!reference_.empty()) {
    Fail(ReferenceFault(reference_), "bad cell reference \"" + reference_ + "\"");
  }
  if (cell_column_ > kMaxColumns) {
    Fail(kOutsideGrid, "more than 16,384 cells in row " + std::to_string(cell_row_));
  }
  next_column_ = cell_column_ + 1;
  PackedValue value;
  XlsxCellFault fault;
  if (!values_.ValueOf(cell_, *sheet_, &value, &fault)) {
    Fail(fault.fact, "cell " + CellReferenceText(cell_row_, cell_column_) + ": " + fault.detail);
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
