#include "formats/xlsx/styles.h"

#include <charconv>

#include "formats/numbers/number_format.h"
#include "formats/numbers/value_text.h"
#include "formats/xlsx/package.h"
#include "formats/xml/xml_stream.h"

namespace zerova {
namespace {

int FormatId(XmlStream& xml) {
  std::string value;
  if (!xml.Attribute("", "numFmtId", &value)) return 0;
  std::uint64_t id = 0;
  if (!ParseCountText(value, &id) || id > 0x7FFFFFFF) {
    xml.Damaged("a part of it holds a malformed value", "bad numFmtId \"" + value + "\"");
  }
  return static_cast<int>(id);
}

}  // namespace

std::vector<bool> ReadXlsxDateStyles(ZipArchive& zip, const std::string& part) {
  XmlStream xml(zip.Open(part), zip.file());
  DateFormats formats;
  std::vector<int> cell_formats;
  bool in_cell_xfs = false;
  while (xml.Next()) {
    if (xml.Depth() == 1 && xml.LocalName() == "cellXfs") {
      in_cell_xfs = xml.node() == XmlStream::Node::kStart && !xml.IsEmpty();
      continue;
    }
    if (xml.node() != XmlStream::Node::kStart || !IsSpreadsheetNamespace(xml.Namespace())) {
      continue;
    }
    if (xml.Depth() == 2 && xml.LocalName() == "numFmt") {
      std::string code;
      xml.Attribute("", "formatCode", &code);
      formats.Define(FormatId(xml), code);
    } else if (in_cell_xfs && xml.Depth() == 2 && xml.LocalName() == "xf") {
      cell_formats.push_back(FormatId(xml));
    }
  }
  return formats.OfCells(cell_formats);
}

}  // namespace zerova
