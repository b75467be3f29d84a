#include "formats/xlsx/reader.h"

#include <string>
#include <utility>
#include <vector>

#include "formats/containers/zip_archive.h"
#include "formats/xlsx/shared_strings.h"
#include "formats/xlsx/sheet.h"
#include "formats/xlsx/styles.h"
#include "formats/xlsx/workbook.h"
#include "services/error.h"

namespace zerova {
namespace {

bool EndsWithBin(const std::string& part) {
  return part.size() >= 4 && (part.compare(part.size() - 4, 4, ".bin") == 0 ||
                              part.compare(part.size() - 4, 4, ".BIN") == 0);
}

class XlsxWorkbook final : public Workbook {
 public:
  XlsxWorkbook(std::shared_ptr<WorkbookSource> source, std::unique_ptr<ZipArchive> zip,
               WorkbookParts parts)
      : source_(std::move(source)), zip_(std::move(zip)), parts_(std::move(parts)) {}

  const std::vector<SheetInfo>& Sheets() override { return parts_.sheets; }
  std::size_t ActiveSheet() override { return parts_.active; }

  std::unique_ptr<Worksheet> ReadSheet(std::size_t index) override {
    const std::string& part = parts_.SheetPart(index, zip_->file());
    XlsxSheetContext context;
    context.sheet_name = parts_.sheets[index].name;
    context.date_system = parts_.date_system;
    if (!parts_.shared_strings_part.empty()) {
      context.shared_strings = ReadXlsxSharedStrings(*zip_, parts_.shared_strings_part);
    }
    if (!parts_.styles_part.empty()) {
      context.date_styles = ReadXlsxDateStyles(*zip_, parts_.styles_part);
    }
    return ReadXlsxSheet(*zip_, part, std::move(context));
  }

 private:
  std::shared_ptr<WorkbookSource> source_;  // the file the zip reads from
  std::unique_ptr<ZipArchive> zip_;
  WorkbookParts parts_;
};

}  // namespace

std::unique_ptr<Workbook> OpenXlsx(const std::shared_ptr<WorkbookSource>& source) {
  std::unique_ptr<ZipArchive> zip = OpenZipArchive(*source);
  const std::string workbook_part = FindXlsxWorkbookPart(*zip);
  // A binary main document is an .xlsb's.
  if (workbook_part.empty() || EndsWithBin(workbook_part)) return nullptr;
  if (!IsXlsxWorkbookPart(*zip, workbook_part)) return nullptr;
  WorkbookParts parts = ReadXlsxWorkbook(*zip, workbook_part);
  return std::make_unique<XlsxWorkbook>(source, std::move(zip), std::move(parts));
}

}  // namespace zerova
