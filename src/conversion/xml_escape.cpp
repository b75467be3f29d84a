#include "conversion/xml_escape.h"

#include <cstdint>

#include "services/utf8.h"

namespace zerova {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// True iff the byte needs more than a plain copy: markup, a control character,
// or the start of a multi-byte sequence that must be checked.
bool NeedsCare(unsigned char c) {
  return c < 0x20 || c >= 0x80 || c == '&' || c == '<' || c == '>' || c == '"';
}

}  // namespace

void AppendXmlEscaped(std::string_view text, std::string& out) {
  std::size_t plain = 0;
  while (plain < text.size() && !NeedsCare(static_cast<unsigned char>(text[plain]))) ++plain;
  if (plain == text.size()) {
    out.append(text);
    return;
  }
  out.reserve(out.size() + text.size() + 16);
  out.append(text.substr(0, plain));
  std::size_t i = plain;
  while (i < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (!NeedsCare(c)) {
      out.push_back(static_cast<char>(c));
      ++i;
      continue;
    }
    switch (c) {
      case '&':
        out.append("&amp;");
        ++i;
        continue;
      case '<':
        out.append("&lt;");
        ++i;
        continue;
      case '>':
        out.append("&gt;");
        ++i;
        continue;
      case '"':
        out.append("&quot;");
        ++i;
        continue;
      case '\r':
        out.append("&#13;");
        ++i;
        continue;
      case '\n':
        out.append("&#10;");
        ++i;
        continue;
      case '\t':
        out.append("&#9;");
        ++i;
        continue;
      default:
        break;
    }
    if (c < 0x20) {  // C0 controls other than TAB, LF, CR are not XML 1.0 characters
      out.append(kReplacement);
      ++i;
      continue;
    }
    char32_t cp = 0;
    const std::size_t len = DecodeUtf8(text.substr(i), &cp);
    if (len == 0) {  // not UTF-8: replace the one byte and go on
      out.append(kReplacement);
      ++i;
    } else if (cp == 0xFFFE || cp == 0xFFFF) {
      out.append(kReplacement);
      i += len;
    } else {
      out.append(text.substr(i, len));
      i += len;
    }
  }
}

}  // namespace zerova
