// The package around an Office Open XML document (ECMA-376 Part 2, Open Packaging
// Conventions): relationship parts, the part paths their targets lead to, and the
// main document they name. Shared by the .xlsx and .xlsb readers, whose packages
// differ only in the parts' contents.
#ifndef ZEROVA_FORMATS_CONTAINERS_OPC_PACKAGE_H_
#define ZEROVA_FORMATS_CONTAINERS_OPC_PACKAGE_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "formats/containers/zip_archive.h"
#include "services/cell_value.h"
#include "services/workbook.h"

namespace zerova {

struct Relationship {
  std::string id;
  std::string kind;    // the last segment of its Type: "worksheet", "sharedStrings", ...
  std::string target;  // the part path it leads to inside the zip ("xl/worksheets/sheet1.xml")
  bool external = false;
};

// The relationship part that belongs to `part`: "_rels/.rels" for "" (the
// package), "xl/_rels/workbook.xml.rels" for "xl/workbook.xml".
std::string RelationshipPartOf(std::string_view part);

// Resolves `target`, as written in the relationships of `source_part`, to a part
// path: absolute targets from the root, relative ones from the source's folder,
// "." and ".." applied. Returns "" when the target climbs above the root.
std::string ResolveTarget(std::string_view source_part, std::string_view target);

// Reads the relationships of `source_part` ("" for the package). Returns none
// when the relationship part is missing and `required` is false.
// Throws ReadError when it is missing and required, or malformed.
std::vector<Relationship> ReadRelationships(ZipArchive& zip, std::string_view source_part,
                                            bool required);

// The part the package's first internal officeDocument relationship leads to, or
// "" when the zip has no package relationships or none of that kind.
// Throws ReadError when the package relationships are malformed.
std::string FindMainDocumentPart(ZipArchive& zip);

// What a workbook part lists, as its format's reader parsed it.
struct WorkbookListing {
  struct Sheet {
    std::string relationship_id;  // r:id
    std::string name;
    SheetVisibility visibility = SheetVisibility::kVisible;
  };
  std::vector<Sheet> sheets;  // in tab order
  std::size_t active_tab = 0;
  bool date1904 = false;
};

// A workbook's sheets and the parts they are read from.
struct WorkbookParts {
  std::vector<SheetInfo> sheets;                 // in tab order, each with its kind
  std::vector<std::string> sheet_parts;          // by sheet; "" when its relationship is missing
  std::vector<std::string> sheet_relationships;  // by sheet: its r:id
  std::size_t active = 0;                        // the listing's active tab, or 0 past the last
  std::string shared_strings_part;               // "" when the workbook has none
  std::string styles_part;                       // "" when the workbook has none
  DateSystem date_system = DateSystem::k1900;

  // The part of sheet `index`. Throws ReadError naming `file` when its
  // relationship is missing. REQUIRES: index < sheets.size().
  const std::string& SheetPart(std::size_t index, const std::string& file) const;
};

// Follows the relationships of `workbook_part` to each sheet of `listing` (its
// kind comes from the relationship's type: worksheet, chartsheet, dialogsheet,
// xlMacrosheet) and to the workbook's first shared-strings and styles parts.
// Without a relationship part, as some writers leave a workbook, the parts are
// looked for by the names every writer gives them, beside the workbook part and
// with its extension ("xl/workbook.xml"): the Nth sheet of `listing` is read from
// "xl/worksheets/sheetN.xml" (refused as missing when there is none), the shared
// strings from "xl/sharedStrings.xml" and the styles from "xl/styles.xml" (none
// when missing). Throws Damaged when the workbook has no sheets or its
// relationships are malformed.
WorkbookParts FindWorkbookParts(ZipArchive& zip, const std::string& workbook_part,
                                const WorkbookListing& listing);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_CONTAINERS_OPC_PACKAGE_H_
