#include "formats/xlsx/shared_strings.h"

#include "formats/text/unicode.h"
#include "formats/xlsx/package.h"

namespace zerova {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The UTF-16 unit escaped at `text[pos]` ("_x0041_"), or -1 when there is no escape.
int EscapeAt(const std::string& text, std::size_t pos) {
  if (pos + 7 > text.size() || text[pos] != '_' || text[pos + 1] != 'x' || text[pos + 6] != '_') {
    return -1;
  }
  int unit = 0;
  for (std::size_t i = pos + 2; i < pos + 6; ++i) {
    const int digit = HexValue(text[i]);
    if (digit < 0) return -1;
    unit = unit * 16 + digit;
  }
  return unit;
}

}  // namespace

void DecodeXlsxEscapes(std::string& text) {
  if (text.find("_x") == std::string::npos) return;
  std::string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    const int unit = EscapeAt(text, pos);
    if (unit < 0) {
      out.push_back(text[pos++]);
      continue;
    }
    pos += 7;
    char32_t c = static_cast<char32_t>(unit);
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      const int low = EscapeAt(text, pos);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        c = 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) +
            (static_cast<char32_t>(low) - 0xDC00);
        pos += 7;
      } else {
        c = 0xFFFD;
      }
    } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
      c = 0xFFFD;
    }
    AppendUtf8(c, out);
  }
  text = std::move(out);
}

std::string ReadXlsxStringItem(XmlStream& xml) {
  std::string text;
  if (xml.IsEmpty()) return text;
  const int depth = xml.Depth();
  while (xml.Next()) {
    if (xml.node() == XmlStream::Node::kEnd && xml.Depth() == depth) break;
    if (xml.node() != XmlStream::Node::kStart) continue;
    const std::string_view name = xml.LocalName();
    if (name == "t") {
      text.append(xml.ReadText());
    } else if (name == "rPh" || name == "phoneticPr" || name == "rPr") {
      xml.SkipElement();
    }
  }
  DecodeXlsxEscapes(text);
  return text;
}

StringTable ReadXlsxSharedStrings(ZipArchive& zip, const std::string& part) {
  XmlStream xml(zip.Open(part), zip.file());
  StringTable strings;
  while (xml.Next()) {
    if (xml.node() == XmlStream::Node::kStart && xml.Depth() == 1 && xml.LocalName() == "si" &&
        IsSpreadsheetNamespace(xml.Namespace())) {
      strings.Add(ReadXlsxStringItem(xml));
    }
  }
  return strings;
}

}  // namespace zerova
