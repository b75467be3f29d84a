#include "formats/ods/reader.h"

#include "formats/ods/content.h"
#include "formats/ods/names.h"
#include "formats/ods/settings.h"

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
