#include "formats/xml2003/reader.h"

#include <algorithm>

#include "formats/common/xml_root.h"
#include "formats/common/xml_stream.h"
#include "formats/xml2003/names.h"
#include "formats/xml2003/styles.h"
#include "formats/xml2003/worksheet.h"
#include "services/error.h"

namespace zerova {
namespace {

struct Workbook {
  std::int64_t active = 0;
  DateSystem system = DateSystem::k1900;
  Xml2003Styles styles;
};

// Reads the ExcelWorkbook element the stream is on, through its end.
void ReadExcelWorkbook(XmlStream& xml, Workbook& book) {
  if (xml.IsEmpty()) return;
  const int depth = xml.Depth();
  while (xml.Next()) {
    if (xml.node() == XmlStream::Node::kEnd && xml.Depth() == depth) return;
    if (xml.node() != XmlStream::Node::kStart || xml.Depth() != depth + 1) continue;
    if (xml.Namespace() != kExcelNamespace) {
      xml.SkipElement();
    } else if (xml.LocalName() == "ActiveSheet") {
      // A count Excel writes from 0; anything else leaves the first sheet active.
      const std::string text = xml.ReadText();
      std::int64_t index = 0;
      for (char c : text) {
        index =
            c >= '0' && c <= '9' && index < (std::int64_t{1} << 31) ? index * 10 + (c - '0') : -1;
        if (index < 0) break;
      }
      book.active = text.empty() || index < 0 ? 0 : index;
    } else if (xml.LocalName() == "Date1904") {
      const std::string text = xml.ReadText();
      book.system = text == "False" || text == "0" ? DateSystem::k1900 : DateSystem::k1904;
    } else {
      xml.SkipElement();
    }
  }
}

// Reads worksheet number `wanted` (from 0) of the workbook; null when it has fewer.
std::unique_ptr<SheetStore> ReadWorkbook(XmlStream& xml, Workbook& book, std::int64_t wanted) {
  std::int64_t sheets = 0;
  while (xml.Next()) {
    if (xml.node() != XmlStream::Node::kStart) continue;
    if (xml.Depth() == 0) {
      if (xml.LocalName() != "Workbook" || xml.Namespace() != kSpreadsheetNamespace) {
        xml.Fail("not an XML Spreadsheet workbook");
      }
      continue;
    }
    if (xml.Depth() != 1) continue;
    if (xml.LocalName() == "ExcelWorkbook" && xml.Namespace() == kExcelNamespace) {
      ReadExcelWorkbook(xml, book);
      if (wanted < 0) wanted = book.active;
    } else if (xml.LocalName() == "Styles" && xml.Namespace() == kSpreadsheetNamespace) {
      book.styles.Read(xml);
    } else if (xml.LocalName() == "Worksheet" && xml.Namespace() == kSpreadsheetNamespace) {
      if (sheets++ == std::max<std::int64_t>(wanted, 0)) {
        return ReadXml2003Worksheet(xml, book.styles, book.system);
      }
      xml.SkipElement();
    } else {
      xml.SkipElement();  // document properties, names, custom XML
    }
  }
  if (sheets == 0) xml.Fail("the workbook has no worksheets");
  return nullptr;
}

}  // namespace

bool LooksLikeXml2003(std::span<const std::uint8_t> prefix) {
  XmlRoot root;
  return SniffXmlRoot(prefix, &root) && root.Is(kSpreadsheetNamespace, "Workbook");
}

std::unique_ptr<Worksheet> ReadXml2003(std::span<const std::uint8_t> bytes,
                                       const std::string& file) {
  {
    XmlStream xml(bytes, file);
    Workbook book;
    if (auto sheet = ReadWorkbook(xml, book, -1)) return sheet;
  }
  // An ActiveSheet past the last worksheet: the first, as with none.
  XmlStream xml(bytes, file);
  Workbook book;
  return ReadWorkbook(xml, book, 0);
}

}  // namespace zerova
