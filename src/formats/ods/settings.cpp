#include "formats/ods/settings.h"

#include "formats/common/xml_stream.h"
#include "formats/ods/names.h"

namespace zerova {

std::string ReadOdsActiveTable(ZipArchive& zip) {
  if (!zip.Has("settings.xml")) return "";
  XmlStream xml(zip.Open("settings.xml"), zip.file());
  std::string name;
  while (xml.Next()) {
    if (xml.node() == XmlStream::Node::kStart && xml.LocalName() == "config-item" &&
        xml.Namespace() == kOdsConfigNamespace &&
        xml.Attribute(kOdsConfigNamespace, "name", &name) && name == "ActiveTable") {
      return xml.ReadText();
    }
  }
  return "";
}

}  // namespace zerova
