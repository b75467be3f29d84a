#include "formats/sheet/single_sheet_workbook.h"

#include <utility>

namespace zerova {

std::string SheetNameOfFile(const std::string& file) {
  std::string name = file.substr(file.rfind('/') + 1);
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name;
}

SingleSheetWorkbook::SingleSheetWorkbook(std::string sheet_name, Reader read)
    : read_(std::move(read)) {
  sheets_.push_back({std::move(sheet_name), SheetKind::kWorksheet, SheetVisibility::kVisible});
  sheet_ = read_();
}

std::unique_ptr<Worksheet> SingleSheetWorkbook::ReadSheet(std::size_t) {
  if (sheet_ != nullptr) return std::move(sheet_);
  return read_();
}

}  // namespace zerova
