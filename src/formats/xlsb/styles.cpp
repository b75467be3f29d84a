#include "formats/xlsb/styles.h"

#include "formats/numbers/number_format.h"
#include "formats/xlsb/record_fields.h"
#include "formats/xlsb/record_stream.h"
#include "formats/xlsb/records.h"

namespace zerova {

std::vector<bool> ReadXlsbDateStyles(ZipArchive& zip, const std::string& part) {
  XlsbRecordStream records(zip, part);
  DateFormats formats;
  std::vector<int> cell_formats;
  bool in_cell_xfs = false;
  while (records.Next()) {
    XlsbFields fields(records);
    switch (records.id()) {
      case xlsb::kFmt: {
        const int id = fields.U16();
        formats.Define(id, fields.WideString());
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
  return formats.OfCells(cell_formats);
}

}  // namespace zerova
