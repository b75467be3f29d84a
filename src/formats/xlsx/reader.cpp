#include "formats/xlsx/reader.h"

#include <string>
#include <utility>

#include "formats/containers/package_workbook.h"
#include "formats/containers/zip_archive.h"
#include "formats/xlsx/shared_strings.h"
#include "formats/xlsx/sheet.h"
#include "formats/xlsx/styles.h"
#include "formats/xlsx/workbook.h"

namespace zerova {

std::unique_ptr<Workbook> OpenXlsx(const std::shared_ptr<WorkbookSource>& source) {
  std::unique_ptr<ZipArchive> zip = OpenZipArchive(*source);
  const std::string workbook_part = FindXlsxWorkbookPart(*zip);
  // A binary main document is an .xlsb's.
  if (workbook_part.empty() || IsBinaryPart(workbook_part)) return nullptr;
  if (!IsXlsxWorkbookPart(*zip, workbook_part)) return nullptr;
  WorkbookParts parts = ReadXlsxWorkbook(*zip, workbook_part);
  return NewPackageWorkbook(source, std::move(zip), std::move(parts),
                            {ReadXlsxSharedStrings, ReadXlsxDateStyles, ReadXlsxSheet});
}

}  // namespace zerova
