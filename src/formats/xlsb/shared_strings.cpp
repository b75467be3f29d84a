#include "formats/xlsb/shared_strings.h"

#include "formats/xlsb/record_fields.h"
#include "formats/xlsb/record_stream.h"
#include "formats/xlsb/records.h"

namespace zerova {

StringTable ReadXlsbSharedStrings(ZipArchive& zip, const std::string& part) {
  XlsbRecordStream records(zip, part);
  StringTable strings;
  while (records.Next()) {
    if (records.id() == xlsb::kSstItem) strings.Add(XlsbFields(records).RichString());
  }
  return strings;
}

}  // namespace zerova
