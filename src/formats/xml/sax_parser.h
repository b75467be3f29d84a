// SaxParser: an XML document parsed by libxml2's SAX2 parser, its elements and
// text handed to a SaxHandler as they are parsed: pushed to libxml2's push
// parser piece by piece, or pulled by its reading parser from a SaxSource, which
// does less for each element.
//
// Nothing of the document is kept, so a part of any size is parsed in the memory
// of one piece. The parser is locked down as XmlStream's is: no network, no DTD
// loading, no entity substitution (only the five predefined entities and character
// references are decoded), and libxml2's own limits on names, text and nesting as
// its xmlTextReader keeps them (at most 257 levels of elements, ten million bytes
// in one run of text). A document type declaration is refused as soon as it is
// seen, before anything in it is read.
#ifndef ZEROVA_FORMATS_XML_SAX_PARSER_H_
#define ZEROVA_FORMATS_XML_SAX_PARSER_H_

#include <libxml/parser.h>

#include <exception>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "formats/xml/sax_element.h"
#include "services/error.h"

namespace zerova {

// What a document's reader does with its parts, in document order. A handler may
// throw (a zerova::Error, say): parsing stops there and the exception reaches
// whoever pushed the piece.
class SaxHandler {
 public:
  virtual ~SaxHandler() = default;

  // Before the first event: finds the names the handler compares.
  virtual void Prepare(const SaxNames&) {}
  virtual void StartElement(const SaxElement& element) = 0;
  // The innermost open element ends; `depth` is the one it started at.
  virtual void EndElement(int depth) = 0;
  // Text or CDATA inside the innermost open element. One run of text may come in
  // several calls (at the edges of pushed pieces, around references); `text` is
  // valid during the call only.
  virtual void Text(std::string_view text) = 0;
};

// Where a pulling parser takes its document from, a piece at a time.
class SaxSource {
 public:
  virtual ~SaxSource() = default;

  // The next piece of the document, valid until the next call; empty at its
  // end. What it throws stops the parse and reaches Pull's caller.
  virtual std::span<const char> Next() = 0;
};

class SaxParser {
 public:
  // Parses a document pushed to it, for `handler`, which must outlive the
  // parser, and lets it prepare. `file` and `part` (the zip member's path) name
  // the document in error messages.
  SaxParser(SaxHandler& handler, std::string file, std::string part);
  // The same, for a document Pull takes from `source`, which must outlive the
  // parser.
  SaxParser(SaxHandler& handler, std::string file, std::string part, SaxSource& source);
  SaxParser(const SaxParser&) = delete;
  SaxParser& operator=(const SaxParser&) = delete;
  ~SaxParser();

  // Parses the next `bytes` of the document, calling the handler for what they
  // complete. Throws what the handler throws; ReadError "FILE: PART: XML with a
  // document type declaration is not allowed"; or ReadError "FILE: the file is
  // damaged: malformed XML in PART (line N: what libxml2 says)" when the XML is
  // not well-formed; or ReadError "FILE: a cell's text is longer than this
  // program's limit of 10,000,000 bytes (PART, line N)" for a longer run of text.
  // After a throw the parser takes no more pieces.
  void Push(std::span<const char> bytes);

  // The document ends here. Throws as Push does, and when it is incomplete.
  void Finish();

  // Parses the whole document from the source. True when it is well-formed;
  // false, with nothing thrown, when it is not: the reading parser words some
  // faults otherwise than the push parser, whose words the messages have.
  // Throws what the handler or the source throws, and the refusal of a
  // document type declaration. REQUIRES: made with a source, and called once.
  bool Pull();

  // The refusal of the malformed document, worded by this parser.
  // REQUIRES: Pull returned false.
  ReadError MalformedError() const;

 private:
  struct ContextFree {
    void operator()(xmlParserCtxt* context) const { xmlFreeParserCtxt(context); }
  };

  // Makes libxml2's parser with `make(sax)` and lets the handler prepare.
  template <typename Make>
  void Start(Make make);
  // Feeds libxml2, then throws whatever stopped it.
  void Parse(const char* bytes, int size, bool last);
  // Throws what stopped the parse, but for a malformed document.
  void ThrowStop() const;
  [[noreturn]] void FailMalformed() const { throw MalformedError(); }

  // libxml2's callbacks; `context` is the parser.
  static void OnStart(void* context, const xmlChar* local_name, const xmlChar* prefix,
                      const xmlChar* uri, int namespace_count, const xmlChar** namespaces,
                      int attribute_count, int defaulted_count, const xmlChar** attributes);
  static void OnEnd(void* context, const xmlChar* local_name, const xmlChar* prefix,
                    const xmlChar* uri);
  static void OnText(void* context, const xmlChar* text, int length);
  static void OnDocumentType(void* context, const xmlChar* name, const xmlChar* external_id,
                             const xmlChar* system_id);
  static void OnError(void* context, xmlErrorPtr error);
  static int OnRead(void* context, char* buffer, int size);
  // Keeps the exception in flight, which may not cross libxml2's C frames, and
  // stops the parser.
  void Stop();
  // Stops the parser for a fault it leaves to us: the document is malformed.
  void Refuse(const std::string& what);

  SaxHandler& handler_;
  std::string file_;
  std::string part_;
  SaxSource* source_ = nullptr;  // where Pull takes the document from
  std::span<const char> piece_;  // what of its last piece libxml2 has not read
  std::unique_ptr<xmlParserCtxt, ContextFree> context_;
  std::vector<std::string> decoded_;  // attribute values decoded, one place per attribute
  int depth_ = 0;                     // of the next element to start
  std::size_t text_length_ = 0;       // of the run of text since the last tag
  std::exception_ptr stopped_by_;     // what a callback threw
  bool document_type_ = false;        // a document type declaration was seen
  bool fatal_ = false;                // libxml2 met a fatal error
  std::string error_;                 // the first fault: "line N, column C: what"
  int error_code_ = 0;                // its code (XmlFaultCode)
};

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XML_SAX_PARSER_H_
