#include "services/ods_reader.h"

#include "services/ods_content.h"
#include "services/ods_names.h"
#include "services/ods_settings.h"

namespace zerova {

bool LooksLikeOds(ZipArchive& zip) {
  if (!zip.Has("mimetype")) return false;
  std::string type = zip.ReadAll("mimetype", 256);
  while (!type.empty() && (type.back() == '\n' || type.back() == '\r' || type.back() == ' ')) {
    type.pop_back();
  }
  return type == kOdsMimeType;
}

std::unique_ptr<Worksheet> ReadOds(ZipArchive& zip) {
  return ReadOdsContent(zip, ReadOdsActiveTable(zip));
}

}  // namespace zerova
