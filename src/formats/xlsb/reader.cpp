#include "formats/xlsb/reader.h"

#include <string>
#include <utility>

#include "formats/containers/opc_package.h"
#include "formats/containers/package_workbook.h"
#include "formats/containers/zip_archive.h"
#include "formats/xlsb/sheet.h"
#include "formats/xlsb/styles.h"
#include "formats/xlsb/workbook.h"

namespace zerova {

std::unique_ptr<Workbook> OpenXlsb(const std::shared_ptr<WorkbookSource>& source) {
  std::unique_ptr<ZipArchive> zip = OpenZipArchive(*source);
  const std::string workbook_part = FindMainDocumentPart(*zip);
  // A damaged workbook.bin is still read as one, to be refused for what it is.
  if (workbook_part.empty() ||
      !(IsBinaryPart(workbook_part) || IsXlsbWorkbookPart(*zip, workbook_part))) {
    return nullptr;
  }
  WorkbookParts parts = ReadXlsbWorkbook(*zip, workbook_part);
  return NewPackageWorkbook(source, std::move(zip), std::move(parts),
                            {ReadXlsbSharedStrings, ReadXlsbDateStyles, ReadXlsbSheet});
}

}  // namespace zerova
