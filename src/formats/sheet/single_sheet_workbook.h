// SingleSheetWorkbook: a file that is one sheet and nothing else (a web page's
// table, delimited text), as a workbook. Its sheet is named after the file, as
// Excel names it, and read when the workbook is made, so a file that is no
// sheet at all is refused at once.
#ifndef ZEROVA_FORMATS_SHEET_SINGLE_SHEET_WORKBOOK_H_
#define ZEROVA_FORMATS_SHEET_SINGLE_SHEET_WORKBOOK_H_

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "services/workbook.h"

namespace zerova {

// The name Excel gives the one sheet of the file `file`: its name without the
// folder and the last extension ("report" for "/tmp/report.csv").
std::string SheetNameOfFile(const std::string& file);

class SingleSheetWorkbook final : public Workbook {
 public:
  using Reader = std::function<std::unique_ptr<Worksheet>()>;

  // Calls `read` now, and again for each later ReadSheet. Throws what it throws.
  SingleSheetWorkbook(std::string sheet_name, Reader read);

  const std::vector<SheetInfo>& Sheets() override { return sheets_; }
  std::size_t ActiveSheet() override { return 0; }
  std::unique_ptr<Worksheet> ReadSheet(std::size_t index) override;

 private:
  std::vector<SheetInfo> sheets_;
  Reader read_;
  std::unique_ptr<Worksheet> sheet_;  // read when made, until ReadSheet takes it
};

}  // namespace zerova

#endif  // ZEROVA_FORMATS_SHEET_SINGLE_SHEET_WORKBOOK_H_
