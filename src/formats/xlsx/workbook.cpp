#include "formats/xlsx/workbook.h"

#include <charconv>
#include <vector>

#include "formats/numbers/value_text.h"
#include "formats/xlsx/package.h"
#include "formats/xml/xml_stream.h"
#include "services/error.h"

namespace zerova {
namespace {

bool IsTrue(std::string_view text) {
  bool value = false;
  return ParseBooleanText(text, &value) && value;
}

// A <sheet>'s state attribute (ECMA-376 Part 1, 18.18.68 ST_SheetState).
SheetVisibility VisibilityOf(std::string_view state) {
  if (state == "hidden") return SheetVisibility::kHidden;
  if (state == "veryHidden") return SheetVisibility::kVeryHidden;
  return SheetVisibility::kVisible;
}

// What the workbook part itself says.
WorkbookListing ParseWorkbookPart(ZipArchive& zip, const std::string& part) {
  XmlStream xml(zip.Open(part), zip.file());
  WorkbookListing workbook;
  bool seen_view = false;
  while (xml.Next()) {
    if (xml.node() != XmlStream::Node::kStart) continue;
    const bool ours = IsSpreadsheetNamespace(xml.Namespace());
    const std::string_view name = xml.LocalName();
    if (xml.Depth() == 0 && (!ours || name != "workbook")) {
      throw ReadError(zip.file(), "not a spreadsheet: the package holds another kind of document");
    }
    if (!ours) continue;
    std::string value;
    if (name == "workbookPr" && xml.Depth() == 1) {
      if (xml.Attribute("", "date1904", &value)) workbook.date1904 = IsTrue(value);
    } else if (name == "workbookView" && xml.Depth() == 2 && !seen_view) {
      seen_view = true;
      if (xml.Attribute("", "activeTab", &value)) {
        std::uint64_t tab = 0;
        if (!ParseCountText(value, &tab)) {
          xml.Damaged("a part of it holds a malformed value", "bad activeTab \"" + value + "\"");
        }
        workbook.active_tab = static_cast<std::size_t>(tab);
      }
    } else if (name == "sheet" && xml.Depth() == 2) {
      WorkbookListing::Sheet sheet;
      xml.ForEachAttribute([&](std::string_view ns, std::string_view local, std::string_view text) {
        if (local == "id" && IsRelationshipIdNamespace(ns)) sheet.relationship_id = text;
        if (local == "name" && ns.empty()) sheet.name = text;
        if (local == "state" && ns.empty()) sheet.visibility = VisibilityOf(text);
      });
      workbook.sheets.push_back(std::move(sheet));
    }
  }
  return workbook;
}

}  // namespace

std::string FindXlsxWorkbookPart(ZipArchive& zip) { return FindMainDocumentPart(zip); }

bool IsXlsxWorkbookPart(ZipArchive& zip, const std::string& part) {
  XmlStream xml(zip.Open(part), zip.file());
  while (xml.Next()) {
    if (xml.node() == XmlStream::Node::kStart) {
      return IsSpreadsheetNamespace(xml.Namespace()) && xml.LocalName() == "workbook";
    }
  }
  return false;
}

WorkbookParts ReadXlsxWorkbook(ZipArchive& zip, const std::string& workbook_part) {
  return FindWorkbookParts(zip, workbook_part, ParseWorkbookPart(zip, workbook_part));
}

}  // namespace zerova
