#include "formats/xlsb/reader.h"

#include <cctype>
#include <string>

#include "formats/common/opc_package.h"
#include "formats/xlsb/shared_strings.h"
#include "formats/xlsb/sheet.h"
#include "formats/xlsb/styles.h"
#include "formats/xlsb/workbook.h"
#include "services/error.h"

namespace zerova {

namespace {

bool EndsWithBin(const std::string& part) {
  if (part.size() < 4) return false;
  std::string tail = part.substr(part.size() - 4);
  for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return tail == ".bin";
}

}  // namespace

bool LooksLikeXlsb(ZipArchive& zip) {
  const std::string main = FindMainDocumentPart(zip);
  // A damaged workbook.bin is still read as one, to be refused for what it is.
  return !main.empty() && (EndsWithBin(main) || IsXlsbWorkbookPart(zip, main));
}

std::unique_ptr<Worksheet> ReadXlsb(ZipArchive& zip) {
  const std::string workbook_part = FindMainDocumentPart(zip);
  if (workbook_part.empty()) {
    throw ReadError(zip.file(), "not a spreadsheet: the package has no main document");
  }
  const WorkbookParts workbook = ReadXlsbWorkbook(zip, workbook_part);
  XlsbSheetContext context;
  context.sheet_name = workbook.sheet_name;
  context.date_system = workbook.date_system;
  if (!workbook.shared_strings_part.empty()) {
    context.shared_strings = ReadXlsbSharedStrings(zip, workbook.shared_strings_part);
  }
  if (!workbook.styles_part.empty()) {
    context.date_styles = ReadXlsbDateStyles(zip, workbook.styles_part);
  }
  return ReadXlsbSheet(zip, workbook.sheet_part, std::move(context));
}

}  // namespace zerova
