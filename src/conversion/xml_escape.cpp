#include "conversion/xml_escape.h"

#include <array>
#include <cstdint>

#include "services/utf8.h"

namespace zerova {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// True for the bytes that need more than a plain copy: markup, a control
// character, or the start of a multi-byte sequence that must be checked.
constexpr std::array<bool, 256> kNeedsCare = [] {
  std::array<bool, 256> table{};
  for (int c = 0; c < 256; ++c) {
    table[c] = c < 0x20 || c >= 0x80 || c == '&' || c == '<' || c == '>' || c == '"';
  }
  return table;
}();

bool NeedsCare(char c) { return kNeedsCare[static_cast<unsigned char>(c)]; }

// The UTF-8 sequence at the start of `text` when it is an XML character, kept as
// it is: its length, or 0 when it must be replaced (not UTF-8, U+FFFE, U+FFFF).
std::size_t KeptSequence(std::string_view text) {
  char32_t cp = 0;
  const std::size_t len = DecodeUtf8(text, &cp);
  return cp == 0xFFFE || cp == 0xFFFF ? 0 : len;
}

// The offset of the first byte of `text` that escaping changes, or text.size().
std::size_t FirstChange(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    if (!NeedsCare(text[i])) {
      ++i;
      continue;
    }
    if (static_cast<unsigned char>(text[i]) < 0x80) return i;  // markup or a control
    const std::size_t len = KeptSequence(text.substr(i));
    if (len == 0) return i;
    i += len;
  }
  return i;
}

// Appends the escaped form of `text` to `out`, byte by byte.
void AppendEscapedSlowly(std::string_view text, std::string& out) {
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (!NeedsCare(text[i])) {
      out.push_back(static_cast<char>(c));
      ++i;
      continue;
    }
    const char* reference = nullptr;
    switch (c) {
      case '&':
        reference = "&amp;";
        break;
      case '<':
        reference = "&lt;";
        break;
      case '>':
        reference = "&gt;";
        break;
      case '"':
        reference = "&quot;";
        break;
      case '\r':
        reference = "&#13;";
        break;
      case '\n':
        reference = "&#10;";
        break;
      case '\t':
        reference = "&#9;";
        break;
      default:
        break;
    }
    if (reference != nullptr) {
      out.append(reference);
      ++i;
    } else if (c < 0x20) {  // C0 controls other than TAB, LF, CR are not XML 1.0 characters
      out.append(kReplacement);
      ++i;
    } else if (const std::size_t len = KeptSequence(text.substr(i)); len != 0) {
      out.append(text.substr(i, len));
      i += len;
    } else {  // not UTF-8 (one byte replaced), or U+FFFE / U+FFFF (the whole sequence)
      char32_t cp = 0;
      const std::size_t bad = DecodeUtf8(text.substr(i), &cp);
      out.append(kReplacement);
      i += bad == 0 ? 1 : bad;
    }
  }
}

}  // namespace

void AppendXmlEscaped(std::string_view text, std::string& out) {
  const std::size_t plain = FirstChange(text);
  out.append(text.substr(0, plain));
  if (plain < text.size()) AppendEscapedSlowly(text.substr(plain), out);
}

void EscapeXmlTail(std::string& out, std::size_t from) {
  const std::size_t change = from + FirstChange(std::string_view(out).substr(from));
  if (change == out.size()) return;
  // Text that must change moves aside once; one buffer per thread serves every line.
  thread_local std::string rest;
  rest.assign(out, change, std::string::npos);
  out.resize(change);
  AppendEscapedSlowly(rest, out);
}

}  // namespace zerova
