#include "formats/html/reader.h"

#include <libxml/HTMLparser.h>
#include <libxml/parserInternals.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include "formats/html/first_table.h"
#include "formats/sheet/single_sheet_workbook.h"
#include "formats/text/unicode.h"
#include "formats/xml/xml_fault.h"
#include "services/error.h"

namespace zerova {
namespace {

// No network, no messages on stderr; the parser's own recovery takes any markup.
constexpr int kOptions = HTML_PARSE_NONET | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING |
                         HTML_PARSE_RECOVER | HTML_PARSE_NOIMPLIED;
constexpr std::size_t kChunk = 64 * 1024;

std::string_view View(const xmlChar* text) {
  return text == nullptr ? std::string_view() : reinterpret_cast<const char*>(text);
}

FirstTable* TableOf(void* context) {
  return static_cast<FirstTable*>(static_cast<htmlParserCtxtPtr>(context)->_private);
}

void OnStart(void* context, const xmlChar* name, const xmlChar** attributes) {
  std::string_view colspan, rowspan;
  for (const xmlChar** a = attributes; a != nullptr && a[0] != nullptr; a += 2) {
    if (View(a[0]) == "colspan") colspan = View(a[1]);
    if (View(a[0]) == "rowspan") rowspan = View(a[1]);
  }
  TableOf(context)->Start(View(name), colspan, rowspan);
}

void OnEnd(void* context, const xmlChar* name) { TableOf(context)->End(View(name)); }

void OnCharacters(void* context, const xmlChar* text, int length) {
  TableOf(context)->Characters(
      std::string_view(reinterpret_cast<const char*>(text), static_cast<std::size_t>(length)));
}

struct ParserFree {
  void operator()(htmlParserCtxt* parser) const {
    // Should libxml2 have begun a document of its own, the context does not own it.
    if (parser->myDoc != nullptr) xmlFreeDoc(parser->myDoc);
    htmlFreeParserCtxt(parser);
  }
};

// True iff the page's first 64 KiB say "charset" anywhere, in any case: a <meta>
// that names the encoding, which libxml2 follows.
bool NamesCharset(std::span<const std::uint8_t> bytes) {
  static constexpr std::string_view kCharset = "charset";
  const auto head = bytes.first(std::min<std::size_t>(bytes.size(), 64 * 1024));
  const auto it = std::search(
      head.begin(), head.end(), kCharset.begin(), kCharset.end(),
      [](std::uint8_t b, char c) { return (b >= 'A' && b <= 'Z' ? b - 'A' + 'a' : b) == c; });
  return it != head.end();
}

// The encoding a byte-order mark at the start of `bytes` names, which then goes
// from `bytes`; XML_CHAR_ENCODING_NONE without one. The mark wins over any <meta>.
xmlCharEncoding TakeByteOrderMark(std::span<const std::uint8_t>& bytes) {
  const auto starts = [&](std::initializer_list<std::uint8_t> mark) {
    return bytes.size() >= mark.size() && std::equal(mark.begin(), mark.end(), bytes.begin());
  };
  if (starts({0xEF, 0xBB, 0xBF})) {
    bytes = bytes.subspan(3);
    return XML_CHAR_ENCODING_UTF8;
  }
  if (starts({0xFF, 0xFE}) || starts({0xFE, 0xFF})) {
    const bool little = bytes[0] == 0xFF;
    bytes = bytes.subspan(2);
    return little ? XML_CHAR_ENCODING_UTF16LE : XML_CHAR_ENCODING_UTF16BE;
  }
  return XML_CHAR_ENCODING_NONE;
}

// The ASCII text of `prefix`: past a UTF-8 byte-order mark, or the low bytes of
// UTF-16 after its mark.
std::string AsciiOf(std::span<const std::uint8_t> prefix) {
  std::string text;
  std::size_t start = 0, step = 1;
  if (prefix.size() >= 3 && prefix[0] == 0xEF && prefix[1] == 0xBB && prefix[2] == 0xBF) {
    start = 3;
  } else if (prefix.size() >= 2 && prefix[0] == 0xFF && prefix[1] == 0xFE) {
    start = 2, step = 2;
  } else if (prefix.size() >= 2 && prefix[0] == 0xFE && prefix[1] == 0xFF) {
    start = 3, step = 2;
  }
  for (std::size_t i = start; i < prefix.size(); i += step) {
    const char c = static_cast<char>(prefix[i]);
    text.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
  }
  return text;
}

}  // namespace

bool LooksLikeHtml(std::span<const std::uint8_t> prefix) noexcept {
  const std::string text = AsciiOf(prefix);
  std::size_t at = 0;
  for (;;) {
    at = text.find_first_not_of(" \t\r\n\f", at);
    if (at == std::string::npos) return false;
    const std::string_view rest = std::string_view(text).substr(at);
    const char* close = rest.starts_with("<!--") ? "-->" : rest.starts_with("<?") ? "?>" : nullptr;
    if (close == nullptr) break;
    at = text.find(close, at + 2);
    if (at == std::string::npos) return false;
    at += std::strlen(close);
  }
  static constexpr std::array<std::string_view, 7> kStarts = {
      "<!doctype html", "<html", "<head", "<body", "<meta", "<title", "<table"};
  for (std::string_view start : kStarts) {
    if (text.compare(at, start.size(), start) != 0) continue;
    const std::size_t next = at + start.size();
    if (next == text.size() ||
        (text[next] != '\0' && std::strchr(" \t\r\n\f>/", text[next]) != nullptr))
      return true;
  }
  return false;
}

std::unique_ptr<Worksheet> ReadHtml(std::span<const std::uint8_t> bytes, const std::string& file,
                                    ReadProgress* progress) {
  StartQuietXml();
  htmlSAXHandler sax{};
  sax.startElement = &OnStart;
  sax.endElement = &OnEnd;
  sax.characters = &OnCharacters;
  sax.ignorableWhitespace = &OnCharacters;
  sax.serror = &IgnoreXmlError;
  FirstTable table;
  const xmlCharEncoding encoding = TakeByteOrderMark(bytes);
  // Bytes that are not UTF-8, on a page that names no charset: Windows-1252, as
  // browsers read such pages (libxml2 alone would take ISO-8859-1).
  const bool windows_1252 =
      encoding == XML_CHAR_ENCODING_NONE && !IsUtf8(bytes, false, progress) && !NamesCharset(bytes);
  const auto* data = reinterpret_cast<const char*>(bytes.data());
  const std::size_t head = windows_1252 ? 0 : std::min<std::size_t>(bytes.size(), 4);
  std::unique_ptr<htmlParserCtxt, ParserFree> parser(
      htmlCreatePushParserCtxt(&sax, nullptr, data, static_cast<int>(head), nullptr, encoding));
  if (parser == nullptr) throw ReadError(file, "cannot start reading the HTML");
  if (windows_1252) {
    xmlCharEncodingHandlerPtr handler = xmlFindCharEncodingHandler("windows-1252");
    if (handler != nullptr) xmlSwitchToEncoding(parser.get(), handler);
  }
  parser->_private = &table;
  htmlCtxtUseOptions(parser.get(), kOptions);
  InputMeter meter(progress, bytes.size());
  for (std::size_t at = head; at < bytes.size() && !table.done(); at += kChunk) {
    meter.At(at);
    const std::size_t size = std::min(kChunk, bytes.size() - at);
    htmlParseChunk(parser.get(), data + at, static_cast<int>(size), 0);
  }
  if (!table.done()) htmlParseChunk(parser.get(), nullptr, 0, 1);
  if (!table.found()) throw ReadError(file, "the web page holds no table");
  return table.Finish();
}

std::unique_ptr<Workbook> OpenHtml(const std::shared_ptr<WorkbookSource>& source) {
  return std::make_unique<SingleSheetWorkbook>(SheetNameOfFile(source->name()), [source] {
    return ReadHtml(source->Bytes(), source->name(), source->progress());
  });
}

}  // namespace zerova
