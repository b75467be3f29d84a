#include "formats/xlsx/string_item.h"

#include "formats/text/unicode.h"

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

void XlsxStringItem::Start() {
  text_.clear();
  text_depth_ = -1;
  skip_depth_ = -1;
}

void XlsxStringItem::StartElement(std::string_view local_name, int depth) {
  // Inside a <t> every descendant's text counts; inside a left-out element none.
  if (text_depth_ >= 0 || skip_depth_ >= 0) return;
  if (local_name == "t") {
    text_depth_ = depth;
  } else if (local_name == "rPh" || local_name == "phoneticPr" || local_name == "rPr") {
    skip_depth_ = depth;
  }
}

void XlsxStringItem::EndElement(int depth) {
  if (depth == text_depth_) text_depth_ = -1;
  if (depth == skip_depth_) skip_depth_ = -1;
}

std::string& XlsxStringItem::Finish() {
  DecodeXlsxEscapes(text_);
  return text_;
}

}  // namespace zerova
