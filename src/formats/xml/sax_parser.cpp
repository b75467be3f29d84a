#include "formats/xml/sax_parser.h"

#include <libxml/parserInternals.h>

#include <libxml/SAX2.h>

#include <algorithm>
#include <cassert>
#include <climits>
#include <utility>

#include "formats/containers/glib_log.h"
#include "formats/xml/xml_fault.h"
#include "services/error.h"

namespace zerova {
namespace {

// Quiet and locked down (formats/xml/xml_fault.h), CDATA as text; errors reach OnError.
constexpr int kOptions = kQuietXmlOptions | XML_PARSE_NOCDATA;

// The limits libxml2 keeps without XML_PARSE_HUGE where it builds a tree (as its
// xmlTextReader does), which its SAX2 push parser alone leaves to the handler:
// xmlParserMaxDepth levels of elements, and ten million bytes in one run of text
// (a cell's text, in a workbook), which is this program's limit on a cell.
constexpr std::size_t kMaxTextLength = XML_MAX_TEXT_LENGTH;

}  // namespace

template <typename Make>
void SaxParser::Start(Make make) {
  StartQuietXml();
  xmlSAXHandler sax{};
  sax.initialized = XML_SAX2_MAGIC;
  sax.startElementNs = &SaxParser::OnStart;
  sax.endElementNs = &SaxParser::OnEnd;
  sax.characters = &SaxParser::OnText;
  sax.cdataBlock = &SaxParser::OnText;
  // The same callback as for text, so libxml2 never tells white space apart.
  sax.ignorableWhitespace = &SaxParser::OnText;
  sax.internalSubset = &SaxParser::OnDocumentType;
  sax.serror = &SaxParser::OnError;
  context_.reset(make(&sax));
  if (context_ == nullptr) throw ReadError(file_, part_ + ": cannot start reading the XML");
  xmlCtxtUseOptions(context_.get(), kOptions);
  handler_.Prepare(SaxNames(context_->dict));
}

SaxParser::SaxParser(SaxHandler& handler, std::string file, std::string part)
    : handler_(handler), file_(std::move(file)), part_(std::move(part)) {
  Start([this](xmlSAXHandler* sax) {
    return xmlCreatePushParserCtxt(sax, this, nullptr, 0, part_.c_str());
  });
}

SaxParser::SaxParser(SaxHandler& handler, std::string file, std::string part, SaxSource& source)
    : handler_(handler), file_(std::move(file)), part_(std::move(part)), source_(&source) {
  Start([this](xmlSAXHandler* sax) {
    return xmlCreateIOParserCtxt(sax, this, &SaxParser::OnRead, nullptr, this,
                                 XML_CHAR_ENCODING_NONE);
  });
}

SaxParser::~SaxParser() = default;

void SaxParser::Push(std::span<const char> bytes) {
  do {
    const std::size_t size = std::min<std::size_t>(bytes.size(), INT_MAX);
    Parse(bytes.data(), static_cast<int>(size), false);
    bytes = bytes.subspan(size);
  } while (!bytes.empty());
}

void SaxParser::Finish() { Parse(nullptr, 0, true); }

bool SaxParser::Pull() {
  assert(source_ != nullptr);
  const int result = xmlParseDocument(context_.get());
  ThrowStop();
  return result == 0 && context_->wellFormed != 0 && !fatal_ && error_.empty();
}

void SaxParser::ThrowStop() const {
  if (stopped_by_) std::rethrow_exception(stopped_by_);
  if (document_type_) {
    throw ReadError(file_, part_ + ": XML with a document type declaration is not allowed");
  }
}

void SaxParser::Parse(const char* bytes, int size, bool last) {
  const int result = xmlParseChunk(context_.get(), bytes, size, last ? 1 : 0);
  ThrowStop();
  // A fatal error stops libxml2 at once; a lesser one (a namespace prefix never
  // declared) lets it go on, and refuses the document at its end.
  if (result != 0 || fatal_ || (last && !error_.empty())) FailMalformed();
}

ReadError SaxParser::MalformedError() const {
  return Damaged(file_, XmlFaultFact(error_code_, true), part_ + ": " + error_);
}

void SaxParser::Stop() {
  stopped_by_ = std::current_exception();
  xmlStopParser(context_.get());
}

void SaxParser::Refuse(const std::string& what) {
  fatal_ = true;
  if (error_.empty()) {
    error_ = "line " + std::to_string(xmlSAX2GetLineNumber(context_.get())) + ": " + what;
  }
  xmlStopParser(context_.get());
}

void SaxParser::OnStart(void* context, const xmlChar* local_name, const xmlChar*,
                        const xmlChar* uri, int, const xmlChar**, int attribute_count, int,
                        const xmlChar** attributes) {
  auto* self = static_cast<SaxParser*>(context);
  self->text_length_ = 0;
  if (self->depth_ > static_cast<int>(xmlParserMaxDepth)) {
    self->error_code_ = kXmlTooDeep;
    self->Refuse(XmlFaultText(kXmlTooDeep));
    return;
  }
  if (self->decoded_.size() < static_cast<std::size_t>(attribute_count)) {
    self->decoded_.resize(static_cast<std::size_t>(attribute_count));
  }
  try {
    self->handler_.StartElement(
        SaxElement(local_name, uri, self->depth_++, attribute_count, attributes, &self->decoded_));
  } catch (...) {
    self->Stop();
  }
}

void SaxParser::OnEnd(void* context, const xmlChar*, const xmlChar*, const xmlChar*) {
  auto* self = static_cast<SaxParser*>(context);
  self->text_length_ = 0;
  try {
    self->handler_.EndElement(--self->depth_);
  } catch (...) {
    self->Stop();
  }
}

void SaxParser::OnText(void* context, const xmlChar* text, int length) {
  auto* self = static_cast<SaxParser*>(context);
  self->text_length_ += static_cast<std::size_t>(length);
  if (self->text_length_ > kMaxTextLength) {
    // The program's limit, not a fault of the file's.
    self->stopped_by_ = std::make_exception_ptr(TextTooLong(
        self->file_,
        self->part_ + ", line " + std::to_string(xmlSAX2GetLineNumber(self->context_.get()))));
    xmlStopParser(self->context_.get());
    return;
  }
  try {
    self->handler_.Text(
        std::string_view(reinterpret_cast<const char*>(text), static_cast<std::size_t>(length)));
  } catch (...) {
    self->Stop();
  }
}

void SaxParser::OnDocumentType(void* context, const xmlChar*, const xmlChar*, const xmlChar*) {
  auto* self = static_cast<SaxParser*>(context);
  self->document_type_ = true;
  xmlStopParser(self->context_.get());
}

// libxml2's reading parser looks ahead as far as a read gives, as a file read
// would: each read is filled from as many pieces as it takes.
int SaxParser::OnRead(void* context, char* buffer, int size) {
  auto* self = static_cast<SaxParser*>(context);
  if (self->stopped_by_) return -1;
  int filled = 0;
  while (filled < size) {
    try {
      if (self->piece_.empty()) self->piece_ = self->source_->Next();
    } catch (...) {
      // Kept, and the input ends here; xmlStopParser would free the input
      // libxml2 is reading into.
      self->stopped_by_ = std::current_exception();
      return -1;
    }
    if (self->piece_.empty()) break;  // the end of the document
    const std::size_t taken =
        std::min(self->piece_.size(), static_cast<std::size_t>(size - filled));
    std::copy_n(self->piece_.data(), taken, buffer + filled);
    self->piece_ = self->piece_.subspan(taken);
    filled += static_cast<int>(taken);
  }
  return filled;
}

void SaxParser::OnError(void* context, xmlErrorPtr error) {
  auto* self = static_cast<SaxParser*>(context);
  if (error == nullptr || error->level < XML_ERR_ERROR) return;
  if (error->level == XML_ERR_FATAL) self->fatal_ = true;
  if (!self->error_.empty()) return;
  // libxml2's own text is not kept: its code says what is wrong, in our words.
  self->error_code_ = XmlFaultCode(*error);
  self->error_ =
      XmlFaultDetail(self->error_code_, error->line, 0);  // a push parser miscounts columns
}

}  // namespace zerova
