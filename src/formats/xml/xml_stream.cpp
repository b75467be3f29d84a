#include "formats/xml/xml_stream.h"

#include <libxml/parser.h>

#include <algorithm>
#include <cstring>

#include "formats/xml/xml_fault.h"
#include "services/error.h"

namespace zerova {
namespace {

// Quiet and locked down (formats/xml/xml_fault.h), CDATA as text, text nodes kept compact.
constexpr int kOptions = kQuietXmlOptions | XML_PARSE_NOCDATA | XML_PARSE_COMPACT;

std::string_view View(const xmlChar* text) {
  return text == nullptr ? std::string_view()
                         : std::string_view(reinterpret_cast<const char*>(text));
}

}  // namespace

XmlStream::XmlStream(ZipMember member, std::string file)
    : member_(std::move(member)), file_(std::move(file)), part_(member_->path()) {
  Start(part_.c_str());
}

XmlStream::XmlStream(std::span<const std::uint8_t> bytes, std::string file, ReadProgress* progress)
    : memory_(bytes), meter_(progress, bytes.size()), file_(std::move(file)) {
  Start("document.xml");
}

void XmlStream::Start(const char* name) {
  StartQuietXml();
  reader_.reset(xmlReaderForIO(&XmlStream::ReadCallback, nullptr, this, name, nullptr, kOptions));
  if (reader_ == nullptr) Fail("cannot start reading the XML");
  xmlTextReaderSetStructuredErrorHandler(reader_.get(), &XmlStream::ErrorCallback, this);
}

std::size_t XmlStream::ReadSource(char* buffer, std::size_t size) {
  if (member_) return member_->Read(buffer, size);
  meter_.At(offset_);
  const std::size_t count = std::min(size, memory_.size() - offset_);
  std::memcpy(buffer, memory_.data() + offset_, count);
  offset_ += count;
  return count;
}

XmlStream::~XmlStream() = default;

int XmlStream::ReadCallback(void* context, char* buffer, int size) {
  auto* self = static_cast<XmlStream*>(context);
  // No exception may cross libxml2's C frames: keep it and rethrow once the parser returns.
  try {
    return static_cast<int>(self->ReadSource(buffer, static_cast<std::size_t>(size)));
  } catch (...) {
    self->read_error_ = std::current_exception();
    return -1;
  }
}

// Keeps the first error's code and place; libxml2's own text is not kept.
void XmlStream::ErrorCallback(void* context, xmlErrorPtr error) {
  auto* self = static_cast<XmlStream*>(context);
  if (error == nullptr || error->level < XML_ERR_ERROR || self->parser_error_ != 0) return;
  self->parser_error_ = XmlFaultCode(*error);
  self->parser_line_ = error->line;
  self->parser_column_ = error->int2;
}

void XmlStream::FailFromParser() const {
  if (read_error_) std::rethrow_exception(read_error_);
  if (parser_error_ == kXmlTextTooLong) {
    throw TextTooLong(file_,
                      (part_.empty() ? "" : part_ + ", ") + "line " + std::to_string(parser_line_));
  }
  const std::string detail = XmlFaultDetail(parser_error_, parser_line_, parser_column_);
  throw zerova::Damaged(file_, XmlFaultFact(parser_error_, !part_.empty()),
                        part_.empty() ? detail : part_ + ": " + detail);
}

void XmlStream::Fail(std::string_view what) const {
  if (part_.empty()) throw ReadError(file_, what);
  throw ReadError(file_, part_ + ": " + std::string(what));
}

void XmlStream::Damaged(std::string_view fact, std::string_view detail) const {
  std::string where = part_.empty() ? "" : part_ + ": ";
  const int line = xmlTextReaderGetParserLineNumber(reader_.get());
  if (line > 0 && xmlTextReaderNodeType(reader_.get()) != XML_READER_TYPE_NONE) {
    where += "line " + std::to_string(line) + ": ";
  }
  throw zerova::Damaged(file_, fact, where + std::string(detail));
}

const char* XmlStream::NotWellFormed() const {
  return part_.empty() ? "it is not well-formed XML" : "a part of it is not well-formed XML";
}

void XmlStream::Classify() {
  switch (xmlTextReaderNodeType(reader_.get())) {
    case XML_READER_TYPE_ELEMENT:
      node_ = Node::kStart;
      break;
    case XML_READER_TYPE_END_ELEMENT:
      node_ = Node::kEnd;
      break;
    case XML_READER_TYPE_TEXT:
    case XML_READER_TYPE_CDATA:
    case XML_READER_TYPE_WHITESPACE:
    case XML_READER_TYPE_SIGNIFICANT_WHITESPACE:
      node_ = Node::kText;
      break;
    case XML_READER_TYPE_DOCUMENT_TYPE:
    case XML_READER_TYPE_ENTITY_REFERENCE:
    case XML_READER_TYPE_ENTITY:
      Fail("XML with a document type declaration is not allowed");
    default:
      node_ = Node::kOther;
  }
}

bool XmlStream::Next() {
  int result = pending_;
  if (result < 0) {
    result = xmlTextReaderRead(reader_.get());
  } else {
    pending_ = -1;
  }
  if (result < 0 || read_error_) FailFromParser();
  if (result == 0) {
    // The reader ends quietly on some faults; its error handler has seen them.
    if (parser_error_ != 0) FailFromParser();
    return false;
  }
  Classify();
  return true;
}

void XmlStream::SkipElement() {
  const int result = xmlTextReaderNext(reader_.get());
  if (result < 0 || read_error_) FailFromParser();
  pending_ = result;
}

std::string XmlStream::ReadText() {
  std::string text;
  if (IsEmpty()) return text;
  int open = 1;
  while (Next()) {
    if (node_ == Node::kText) {
      text.append(Text());
    } else if (node_ == Node::kStart && !IsEmpty()) {
      ++open;
    } else if (node_ == Node::kEnd && --open == 0) {
      return text;
    }
  }
  throw zerova::Damaged(
      file_, NotWellFormed(),
      (part_.empty() ? "" : part_ + ": ") + XmlFaultText(XML_ERR_TAG_NOT_FINISHED));
}

bool XmlStream::IsEmpty() const { return xmlTextReaderIsEmptyElement(reader_.get()) == 1; }

int XmlStream::Depth() const { return xmlTextReaderDepth(reader_.get()); }

std::string_view XmlStream::LocalName() const {
  return View(xmlTextReaderConstLocalName(reader_.get()));
}

std::string_view XmlStream::Namespace() const {
  return View(xmlTextReaderConstNamespaceUri(reader_.get()));
}

std::string_view XmlStream::Text() const { return View(xmlTextReaderConstValue(reader_.get())); }

void XmlStream::ForEachAttribute(
    const std::function<void(std::string_view, std::string_view, std::string_view)>& visit) {
  xmlTextReader* reader = reader_.get();
  if (xmlTextReaderHasAttributes(reader) != 1) return;
  for (int more = xmlTextReaderMoveToFirstAttribute(reader); more == 1;
       more = xmlTextReaderMoveToNextAttribute(reader)) {
    if (xmlTextReaderIsNamespaceDecl(reader) == 1) continue;
    visit(View(xmlTextReaderConstNamespaceUri(reader)), View(xmlTextReaderConstLocalName(reader)),
          View(xmlTextReaderConstValue(reader)));
  }
  xmlTextReaderMoveToElement(reader);
}

bool XmlStream::Attribute(std::string_view ns, std::string_view local_name, std::string* value) {
  bool found = false;
  ForEachAttribute(
      [&](std::string_view attribute_ns, std::string_view name, std::string_view text) {
        if (!found && attribute_ns == ns && name == local_name) {
          value->assign(text);
          found = true;
        }
      });
  return found;
}

bool ElementWalk::Step(bool text) {
  while (depth_ >= 0 && xml_.Next()) {
    const XmlStream::Node node = xml_.node();
    if (node == XmlStream::Node::kEnd && xml_.Depth() == depth_) break;
    if (node == XmlStream::Node::kStart || (text && node == XmlStream::Node::kText)) return true;
  }
  depth_ = -1;
  return false;
}

}  // namespace zerova
