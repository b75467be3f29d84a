#include "formats/xlsx/workbook.h"

#include <charconv>
#include <vector>

#include "formats/common/xml_stream.h"
#include "formats/xlsx/package.h"
#include "services/error.h"

namespace zerova {
namespace {

bool IsTrue(std::string_view value) { return value == "1" || value == "true"; }

// What the workbook part itself says.
struct WorkbookPart {
  std::vector<std::string> sheet_ids;  // the r:id of each <sheet>, in order
  std::size_t active_tab = 0;
  bool date1904 = false;
};

WorkbookPart ParseWorkbookPart(ZipArchive& zip, const std::string& part) {
  XmlStream xml(zip.Open(part), zip.file());
  WorkbookPart workbook;
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
        const auto [end, ec] =
            std::from_chars(value.data(), value.data() + value.size(), workbook.active_tab);
        if (ec != std::errc() || end != value.data() + value.size()) {
          xml.Fail("bad activeTab \"" + value + "\"");
        }
      }
    } else if (name == "sheet" && xml.Depth() == 2) {
      std::string id;
      xml.ForEachAttribute([&](std::string_view ns, std::string_view local, std::string_view text) {
        if (local == "id" && IsRelationshipIdNamespace(ns)) id = text;
      });
      workbook.sheet_ids.push_back(std::move(id));
    }
  }
  return workbook;
}

}  // namespace

std::string FindXlsxWorkbookPart(ZipArchive& zip) { return FindMainDocumentPart(zip); }

XlsxWorkbook ReadXlsxWorkbook(ZipArchive& zip, const std::string& workbook_part) {
  const WorkbookPart workbook = ParseWorkbookPart(zip, workbook_part);
  if (workbook.sheet_ids.empty()) throw ReadError(zip.file(), "the workbook has no sheets");
  // An active tab past the last sheet reads the first sheet, as for .xls.
  const std::size_t active =
      workbook.active_tab < workbook.sheet_ids.size() ? workbook.active_tab : 0;
  const std::string& sheet_id = workbook.sheet_ids[active];

  XlsxWorkbook result;
  result.date_system = workbook.date1904 ? DateSystem::k1904 : DateSystem::k1900;
  bool found = false;
  for (const Relationship& relationship : ReadRelationships(zip, workbook_part, true)) {
    if (relationship.external) continue;
    if (relationship.id == sheet_id) {
      if (relationship.kind != "worksheet") {
        throw ReadError(zip.file(), "the active sheet is not a worksheet");
      }
      result.sheet_part = relationship.target;
      found = true;
    } else if (relationship.kind == "sharedStrings" && result.shared_strings_part.empty()) {
      result.shared_strings_part = relationship.target;
    } else if (relationship.kind == "styles" && result.styles_part.empty()) {
      result.styles_part = relationship.target;
    }
  }
  if (!found) {
    throw ReadError(zip.file(), workbook_part + ": the active sheet's relationship \"" + sheet_id +
                                    "\" is missing");
  }
  return result;
}

}  // namespace zerova
