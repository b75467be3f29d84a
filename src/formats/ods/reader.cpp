#include "formats/ods/reader.h"

#include "formats/common/xml_root.h"
#include "formats/common/xml_stream.h"
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
  const std::string active_table = ReadOdsActiveTable(zip);
  {
    XmlStream xml(zip.Open("content.xml"), zip.file());
    if (auto sheet = ReadOdsTables(xml, active_table)) return sheet;
  }
  // Settings naming a table that is not there: the first table, as with no settings.
  XmlStream xml(zip.Open("content.xml"), zip.file());
  return ReadOdsTables(xml, "");
}

bool LooksLikeFlatOds(std::span<const std::uint8_t> prefix) {
  XmlRoot root;
  return SniffXmlRoot(prefix, &root) && root.Is(kOdsOfficeNamespace, "document") &&
         root.Find(kOdsOfficeNamespace, "mimetype") == kOdsMimeType;
}

std::unique_ptr<Worksheet> ReadFlatOds(std::span<const std::uint8_t> bytes,
                                       const std::string& file) {
  {
    XmlStream xml(bytes, file);
    if (auto sheet = ReadOdsTables(xml, ReadOdsActiveTable(xml))) return sheet;
  }
  XmlStream xml(bytes, file);
  return ReadOdsTables(xml, "");
}

}  // namespace zerova
