#include "formats/xlsx/sheet.h"

#include "formats/xlsx/cell_pipe.h"
#include "formats/xlsx/package.h"
#include "formats/xlsx/sheet_builder.h"
#include "formats/xlsx/string_item.h"
#include "formats/xml/member_parse.h"
#include "services/error.h"

namespace zerova {
namespace {

// The worksheet's elements as the parser meets them, recorded for the builder:
// under <sheetData>, a <row> at depth 2 starts a row and a <c> at depth 3 is a
// cell; a cell's direct children <v> and <is> hold its value (the last of each
// counts), and everything else in it is left out. A row is recorded as it
// starts, a cell once it ends, so a cell cut short by malformed XML is none.
class SheetHandler final : public SaxHandler {
 public:
  // `part` names the sheet's part in messages, with the sheet's name.
  SheetHandler(std::string file, std::string part, XlsxCellPipe& pipe)
      : file_(std::move(file)), part_(std::move(part)), pipe_(pipe) {}

  void Prepare(const SaxNames& names) override;
  void StartElement(const SaxElement& element) override;
  void EndElement(int depth) override;
  void Text(std::string_view text) override {
    if (child_ == Child::kValue) {
      pipe_.batch().Extend(cell_.value, text);
    } else if (child_ == Child::kItem) {
      item_.Text(text);
    }
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
  // The record is complete: into the batch, and the batch to the builder once full.
  void Record(const XlsxCellRecord& record) {
    XlsxCellBatch& batch = pipe_.batch();
    batch.Add() = record;
    if (batch.Full()) pipe_.Pass();
  }

  std::string file_;
  std::string part_;
  XlsxCellPipe& pipe_;
  Names names_;
  bool namespace_named_ = false;  // an element in SpreadsheetML's namespace was met
  bool in_data_ = false;          // inside <sheetData>
  bool in_cell_ = false;          // inside a cell's <c>
  Child child_ = Child::kNone;    // the cell's open direct child
  XlsxCellRecord cell_;           // the cell being read, its texts in the batch
  XlsxStringItem item_;           // its <is>, being read
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
        throw Damaged(file_, "the sheet's part holds no worksheet",
                      part_ + ": no <worksheet> at its root");
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
      cell_.inline_text = pipe_.batch().Keep(item_.Finish());
      cell_.has_inline = true;
    }
    child_ = Child::kNone;
  } else if (depth == 3) {
    if (in_cell_) Record(cell_);
    in_cell_ = false;
  } else if (depth == 1) {
    in_data_ = false;  // the end of <sheetData>: no other element at depth 1 can be open
  }
}

void SheetHandler::StartRow(const SaxElement& row) {
  XlsxCellRecord record;
  record.is_row = true;
  row.ForEachAttribute([&](const SaxAttribute& attribute) {
    if (attribute.name() == names_.r && attribute.ns().empty()) {
      record.reference = pipe_.batch().Keep(attribute.value());
      record.has_reference = true;
    }
  });
  Record(record);
}

void SheetHandler::StartCell(const SaxElement& element) {
  cell_ = XlsxCellRecord();
  XlsxCellBatch& batch = pipe_.batch();
  element.ForEachAttribute([&](const SaxAttribute& attribute) {
    if (!attribute.ns().empty()) return;
    const SaxName name = attribute.name();
    if (name == names_.r) {
      cell_.reference = batch.Keep(attribute.value());
      cell_.has_reference = true;
    } else if (name == names_.t) {
      cell_.type = batch.Keep(attribute.value());
    } else if (name == names_.s) {
      cell_.style = batch.Keep(attribute.value());
    }
  });
  in_cell_ = true;
  child_ = Child::kNone;
}

// A direct child of <c>: the last <v> or <is> gives the cell's value.
void SheetHandler::StartChild(SaxName name) {
  if (name == names_.v) {
    cell_.value = {pipe_.batch().Offset(), 0};
    cell_.has_value = true;
    child_ = Child::kValue;
  } else if (name == names_.is) {
    item_.Start();
    child_ = Child::kItem;
  } else {
    child_ = Child::kOther;  // <f>, <extLst>
  }
}

}  // namespace

std::unique_ptr<SheetStore> ReadXlsxSheet(ZipArchive& zip, const std::string& part,
                                          PackageSheetContext context) {
  const std::string named = SheetPartInMessages(part, context.sheet_name);
  XlsxSheetBuilder builder(zip.file(), named, std::move(context));
  {
    XlsxCellPipe pipe(builder);
    SheetHandler handler(zip.file(), named, pipe);
    try {
      ParseXmlMember(zip, part, handler, {}, named);
    } catch (...) {
      // A cell before the place where parsing failed may be at fault: that
      // fault, the first in the part, is the one told.
      pipe.Finish();
      throw;
    }
    pipe.Finish();
  }
  return builder.Seal();
}

}  // namespace zerova
