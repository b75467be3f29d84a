#include "formats/xlsb/reader.h"

#include <cctype>
#include <string>
#include <utility>
#include <vector>

#include "formats/containers/opc_package.h"
#include "formats/containers/zip_archive.h"
#include "formats/xlsb/shared_strings.h"
#include "formats/xlsb/sheet.h"
#include "formats/xlsb/styles.h"
#include "formats/xlsb/workbook.h"

namespace zerova {
namespace {

bool EndsWithBin(const std::string& part) {
  if (part.size() < 4) return false;
  std::string tail = part.substr(part.size() - 4);
  for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return tail == ".bin";
}

class XlsbWorkbook final : public Workbook {
 public:
  XlsbWorkbook(std::shared_ptr<WorkbookSource> source, std::unique_ptr<ZipArchive> zip,
               WorkbookParts parts)
      : source_(std::move(source)), zip_(std::move(zip)), parts_(std::move(parts)) {}

  const std::vector<SheetInfo>& Sheets() override { return parts_.sheets; }
  std::size_t ActiveSheet() override { return parts_.active; }

  std::unique_ptr<Worksheet> ReadSheet(std::size_t index) override {
    const std::string& part = parts_.SheetPart(index, zip_->file());
    XlsbSheetContext context;
    context.sheet_name = parts_.sheets[index].name;
    context.date_system = parts_.date_system;
    if (!parts_.shared_strings_part.empty()) {
      context.shared_strings = ReadXlsbSharedStrings(*zip_, parts_.shared_strings_part);
    }
    if (!parts_.styles_part.empty()) {
      context.date_styles = ReadXlsbDateStyles(*zip_, parts_.styles_part);
    }
    return ReadXlsbSheet(*zip_, part, std::move(context));
  }

 private:
  std::shared_ptr<WorkbookSource> source_;  // the file the zip reads from
  std::unique_ptr<ZipArchive> zip_;
  WorkbookParts parts_;
};

}  // namespace

std::unique_ptr<Workbook> OpenXlsb(const std::shared_ptr<WorkbookSource>& source) {
  std::unique_ptr<ZipArchive> zip = OpenZipArchive(*source);
  const std::string workbook_part = FindMainDocumentPart(*zip);
  // A damaged workbook.bin is still read as one, to be refused for what it is.
  if (workbook_part.empty() ||
      !(EndsWithBin(workbook_part) || IsXlsbWorkbookPart(*zip, workbook_part))) {
    return nullptr;
  }
  WorkbookParts parts = ReadXlsbWorkbook(*zip, workbook_part);
  return std::make_unique<XlsbWorkbook>(source, std::move(zip), std::move(parts));
}

}  // namespace zerova
