// A workbook held in an Open Packaging Conventions zip (.xlsx, .xlsm, .xlsb):
// its sheets as its workbook part lists them, each read from its own part
// together with the shared strings and cell formats the sheet refers to. The
// format supplies the readers of those parts; the package and its walk are the
// same for the XML and the binary kind (ECMA-376 Part 2, [MS-XLSB] 2.1).
#ifndef ZEROVA_FORMATS_CONTAINERS_PACKAGE_WORKBOOK_H_
#define ZEROVA_FORMATS_CONTAINERS_PACKAGE_WORKBOOK_H_

#include <memory>
#include <string>
#include <vector>

#include "formats/containers/opc_package.h"
#include "formats/containers/workbook_source.h"
#include "formats/containers/zip_archive.h"
#include "formats/sheet/sheet_store.h"
#include "formats/sheet/string_table.h"
#include "services/cell_value.h"
#include "services/workbook.h"

namespace zerova {

// What a worksheet's cells refer to elsewhere in the workbook.
struct PackageSheetContext {
  std::string sheet_name;  // for messages
  DateSystem date_system = DateSystem::k1900;
  StringTable shared_strings;     // become the sheet's first strings, each keeping its index
  std::vector<bool> date_styles;  // by cell format index: true where it shows a date
};

// A format's readers of the parts a sheet needs.
struct PackagePartReaders {
  StringTable (*shared_strings)(ZipArchive& zip, const std::string& part);
  std::vector<bool> (*date_styles)(ZipArchive& zip, const std::string& part);
  std::unique_ptr<SheetStore> (*sheet)(ZipArchive& zip, const std::string& part,
                                       PackageSheetContext context);
};

// The workbook of `parts` in `zip` (read from `source`, which it keeps open).
// Each sheet read reads the shared strings and styles anew and keeps its own.
std::unique_ptr<Workbook> NewPackageWorkbook(std::shared_ptr<WorkbookSource> source,
                                             std::unique_ptr<ZipArchive> zip, WorkbookParts parts,
                                             PackagePartReaders readers);

// How messages name the part of sheet `sheet_name`, so that a fault in it
// names both: "xl/worksheets/sheet8.xml of sheet "Data"" (the part alone for a
// sheet without a name).
std::string SheetPartInMessages(const std::string& part, const std::string& sheet_name);

// True when a main document part is binary (its name ends in ".bin", in any case).
bool IsBinaryPart(const std::string& part);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_CONTAINERS_PACKAGE_WORKBOOK_H_
