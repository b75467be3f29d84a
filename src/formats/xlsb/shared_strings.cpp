#include "formats/xlsb/shared_strings.h"

#include "formats/xlsb/record_fields.h"
#include "formats/xlsb/record_stream.h"
#include "formats/xlsb/records.h"

namespace zerova {

std::vector<std::string> ReadXlsbSharedStrings(ZipArchive& zip, const std::string& part) {
  XlsbRecordStream records(zip, part);
  std::vector<std::string> strings;
  while (records.Next()) {
    if (records.id() == xlsb::kSstItem) strings.push_back(XlsbFields(records).RichString());
  }
  return strings;
}

}  // namespace zerova
