#include "formats/html/reader.h"

#include <libxml/HTMLparser.h>
#include <libxml/parserInternals.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include "formats/common/unicode.h"
#include "formats/html/table_layout.h"
#include "formats/html/visible_text.h"
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

// Elements whose content is not shown.
bool IsHidden(std::string_view name) {
  return name == "script" || name == "style" || name == "template" || name == "title" ||
         name == "head" || name == "noscript";
}

// Elements that start and end a block of text inside a cell.
bool IsBlock(std::string_view name) {
  static constexpr std::array<std::string_view, 24> kBlocks = {
      "p",  "div",     "ul",     "ol",      "li",      "dl",     "dt",     "dd",
      "h1", "h2",      "h3",     "h4",      "h5",      "h6",     "pre",    "blockquote",
      "hr", "address", "center", "section", "article", "header", "footer", "form"};
  return std::find(kBlocks.begin(), kBlocks.end(), name) != kBlocks.end();
}

// Follows the parser's elements, laying out the first table's cells.
class TableReader {
 public:
  void Start(std::string_view name, const xmlChar** attributes);
  void End(std::string_view name);
  void Characters(std::string_view text);

  bool found() const { return depth_ > 0 || done_; }
  bool done() const { return done_; }
  // The sheet, with a cell that the page left open (cut short) ended.
  std::unique_ptr<PooledSheet> Finish() {
    if (in_cell_) layout_.EndCell(text_.Take());
    return layout_.Finish();
  }

 private:
  TableLayout layout_;
  VisibleText text_;
  int depth_ = 0;                    // tables open, the sheet's own counted as 1
  bool done_ = false;                // the sheet's table has ended
  bool in_cell_ = false;             // inside one of the sheet's cells
  int hidden_ = 0;                   // hidden elements open
  int preformatted_ = 0;             // <pre> elements open
  bool nested_row_started_ = false;  // a cell of the nested table's current row was seen
};

void TableReader::Start(std::string_view name, const xmlChar** attributes) {
  if (done_) return;
  if (name == "table") {
    if (depth_ > 0 && in_cell_) text_.BlockBoundary();
    ++depth_;
    return;
  }
  if (depth_ == 0) return;
  if (IsHidden(name) || (depth_ == 1 && name == "caption")) ++hidden_;
  const bool cell = name == "td" || name == "th";
  if (depth_ == 1 && name == "tr") {
    layout_.StartRow();
    return;
  }
  if (depth_ == 1 && cell) {
    std::string_view colspan, rowspan;
    for (const xmlChar** a = attributes; a != nullptr && a[0] != nullptr; a += 2) {
      if (View(a[0]) == "colspan") colspan = View(a[1]);
      if (View(a[0]) == "rowspan") rowspan = View(a[1]);
    }
    if (in_cell_) layout_.EndCell(text_.Take());  // a cell the parser left open
    layout_.StartCell(colspan, rowspan);
    in_cell_ = true;
    return;
  }
  if (!in_cell_ || hidden_ > 0) return;
  if (name == "br") {
    text_.LineBreak();
  } else if (name == "tr") {  // in a nested table
    text_.BlockBoundary();
    nested_row_started_ = false;
  } else if (cell) {
    if (nested_row_started_) text_.CellSeparator();
    nested_row_started_ = true;
  } else if (IsBlock(name)) {
    text_.BlockBoundary();
    if (name == "pre") ++preformatted_;
  }
}

void TableReader::End(std::string_view name) {
  if (done_ || depth_ == 0) return;
  if (name == "table") {
    if (--depth_ == 0) {
      if (in_cell_) layout_.EndCell(text_.Take());
      in_cell_ = false;
      done_ = true;
    } else if (in_cell_) {
      text_.BlockBoundary();
    }
    return;
  }
  if ((IsHidden(name) || (depth_ == 1 && name == "caption")) && hidden_ > 0) {
    --hidden_;
    return;
  }
  if (depth_ == 1 && (name == "td" || name == "th")) {
    if (in_cell_) layout_.EndCell(text_.Take());
    in_cell_ = false;
    return;
  }
  if (depth_ == 1 && name == "tr") {
    if (in_cell_) layout_.EndCell(text_.Take());
    in_cell_ = false;
    layout_.EndRow();
    return;
  }
  if (!in_cell_) return;
  if (IsBlock(name) || name == "tr") text_.BlockBoundary();
  if (name == "pre" && preformatted_ > 0) --preformatted_;
}

void TableReader::Characters(std::string_view text) {
  if (in_cell_ && hidden_ == 0 && !done_) text_.Append(text, preformatted_ > 0);
}

TableReader* ReaderOf(void* context) {
  return static_cast<TableReader*>(static_cast<htmlParserCtxtPtr>(context)->_private);
}

void OnStart(void* context, const xmlChar* name, const xmlChar** attributes) {
  ReaderOf(context)->Start(View(name), attributes);
}

void OnEnd(void* context, const xmlChar* name) { ReaderOf(context)->End(View(name)); }

void OnCharacters(void* context, const xmlChar* text, int length) {
  ReaderOf(context)->Characters(
      std::string_view(reinterpret_cast<const char*>(text), static_cast<std::size_t>(length)));
}

void Quiet(void*, xmlErrorPtr) {}
void QuietGeneric(void*, const char*, ...) {}

struct ParserFree {
  void operator()(htmlParserCtxt* parser) const { htmlFreeParserCtxt(parser); }
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

bool LooksLikeHtml(std::span<const std::uint8_t> prefix) {
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

std::unique_ptr<Worksheet> ReadHtml(std::span<const std::uint8_t> bytes, const std::string& file) {
  xmlInitParser();
  xmlSetGenericErrorFunc(nullptr, &QuietGeneric);
  htmlSAXHandler sax{};
  sax.startElement = &OnStart;
  sax.endElement = &OnEnd;
  sax.characters = &OnCharacters;
  sax.ignorableWhitespace = &OnCharacters;
  sax.serror = &Quiet;
  TableReader reader;
  const xmlCharEncoding encoding = TakeByteOrderMark(bytes);
  // Bytes that are not UTF-8, on a page that names no charset: Windows-1252, as
  // browsers read such pages (libxml2 alone would take ISO-8859-1).
  const bool windows_1252 =
      encoding == XML_CHAR_ENCODING_NONE && !IsUtf8(bytes, false) && !NamesCharset(bytes);
  const auto* data = reinterpret_cast<const char*>(bytes.data());
  const std::size_t head = windows_1252 ? 0 : std::min<std::size_t>(bytes.size(), 4);
  std::unique_ptr<htmlParserCtxt, ParserFree> parser(
      htmlCreatePushParserCtxt(&sax, nullptr, data, static_cast<int>(head), nullptr, encoding));
  if (parser == nullptr) throw ReadError(file, "cannot start reading the HTML");
  if (windows_1252) {
    xmlCharEncodingHandlerPtr handler = xmlFindCharEncodingHandler("windows-1252");
    if (handler != nullptr) xmlSwitchToEncoding(parser.get(), handler);
  }
  parser->_private = &reader;
  htmlCtxtUseOptions(parser.get(), kOptions);
  for (std::size_t at = head; at < bytes.size() && !reader.done(); at += kChunk) {
    const std::size_t size = std::min(kChunk, bytes.size() - at);
    htmlParseChunk(parser.get(), data + at, static_cast<int>(size), 0);
  }
  if (!reader.done()) htmlParseChunk(parser.get(), nullptr, 0, 1);
  if (!reader.found()) throw ReadError(file, "the web page holds no table");
  return reader.Finish();
}

}  // namespace zerova
