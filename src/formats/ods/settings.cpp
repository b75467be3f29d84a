#include "formats/ods/settings.h"

#include "formats/ods/names.h"

namespace zerova {

std::string ReadOdsActiveTable(ZipArchive& zip) {
  if (!zip.Has("settings.xml")) return "";
  XmlStream xml(zip.Open("settings.xml"), zip.file());
  return ReadOdsActiveTable(xml);
}

std::string ReadOdsActiveTable(XmlStream& xml) {
  std::string name;
  while (xml.Next()) {
    if (xml.node() != XmlStream::Node::kStart) continue;
    if (xml.Depth() == 1 && xml.LocalName() == "body" && xml.Namespace() == kOdsOfficeNamespace) {
      return "";
    }
    if (xml.LocalName() == "config-item" && xml.Namespace() == kOdsConfigNamespace &&
        xml.Attribute(kOdsConfigNamespace, "name", &name) && name == "ActiveTable") {
      return xml.ReadText();
    }
  }
  return "";
}

}  // namespace zerova
