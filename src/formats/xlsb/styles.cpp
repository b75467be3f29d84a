#include "formats/xlsb/styles.h"

#include <map>

#include "formats/common/number_format.h"
#include "formats/xlsb/record_fields.h"
#include "formats/xlsb/record_stream.h"
#include "formats/xlsb/records.h"

namespace zerova {

std::vector<bool> ReadXlsbDateStyles(ZipArchive& zip, const std::string& part) {
  XlsbRecordStream records(zip, part);
  std::map<int, bool> defined;  // ifmt -> shows a date
  std::vector<int> cell_formats;
  bool in_cell_xfs = false;
  while (records.Next()) {
    XlsbFields fields(records);
    switch (records.id()) {
      case xlsb::kFmt: {
        const int id = fields.U16();
        defined[id] = IsDateFormatCode(fields.WideString());
        break;
      }
      case xlsb::kBeginCellXfs:
        in_cell_xfs = true;
        break;
      case xlsb::kEndCellXfs:
        in_cell_xfs = false;
        break;
      case xlsb::kXf:
        if (!in_cell_xfs) break;  // a cell style's format, not a cell's
        fields.U16();             // ixfeParent
        cell_formats.push_back(fields.U16());
        break;
      default:
        break;
    }
  }
  std::vector<bool> dates;
  dates.reserve(cell_formats.size());
  for (int id : cell_formats) {
    const auto it = defined.find(id);
    dates.push_back(it != defined.end() ? it->second : IsBuiltInDateFormat(id));
  }
  return dates;
}

}  // namespace zerova
