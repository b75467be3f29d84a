#include "formats/containers/package_workbook.h"

#include <cctype>
#include <utility>

namespace zerova {
namespace {

class PackageWorkbook final : public Workbook {
 public:
  PackageWorkbook(std::shared_ptr<WorkbookSource> source, std::unique_ptr<ZipArchive> zip,
                  WorkbookParts parts, PackagePartReaders readers)
      : source_(std::move(source)),
        zip_(std::move(zip)),
        parts_(std::move(parts)),
        readers_(readers) {}

  const std::vector<SheetInfo>& Sheets() override { return parts_.sheets; }
  std::size_t ActiveSheet() override { return parts_.active; }

  std::unique_ptr<Worksheet> ReadSheet(std::size_t index) override {
    const std::string& part = parts_.SheetPart(index, zip_->file());
    PackageSheetContext context;
    context.sheet_name = parts_.sheets[index].name;
    context.date_system = parts_.date_system;
    if (!parts_.shared_strings_part.empty()) {
      context.shared_strings = readers_.shared_strings(*zip_, parts_.shared_strings_part);
    }
    if (!parts_.styles_part.empty()) {
      context.date_styles = readers_.date_styles(*zip_, parts_.styles_part);
    }
    return readers_.sheet(*zip_, part, std::move(context));
  }

 private:
  std::shared_ptr<WorkbookSource> source_;  // the file the zip reads from
  std::unique_ptr<ZipArchive> zip_;
  WorkbookParts parts_;
  PackagePartReaders readers_;
};

}  // namespace

std::unique_ptr<Workbook> NewPackageWorkbook(std::shared_ptr<WorkbookSource> source,
                                             std::unique_ptr<ZipArchive> zip, WorkbookParts parts,
                                             PackagePartReaders readers) {
  return std::make_unique<PackageWorkbook>(std::move(source), std::move(zip), std::move(parts),
                                           readers);
}

std::string SheetPartInMessages(const std::string& part, const std::string& sheet_name) {
  return sheet_name.empty() ? part : part + " of sheet \"" + sheet_name + "\"";
}

bool IsBinaryPart(const std::string& part) {
  if (part.size() < 4) return false;
  std::string tail = part.substr(part.size() - 4);
  for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return tail == ".bin";
}

}  // namespace zerova
