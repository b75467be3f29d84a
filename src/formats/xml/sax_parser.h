// SaxParser: an XML document pushed piece by piece through libxml2's SAX2 push
// parser, its elements and text handed to a SaxHandler as they are parsed.
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

class SaxParser {
 public:
  // Parses a document for `handler`, which must outlive the parser, and lets it
  // prepare. `file` and `part` (the zip member's path) name the document in
  // error messages.
  SaxParser(SaxHandler& handler, std::string file, std::string part);
  SaxParser(const SaxParser&) = delete;
  SaxParser& operator=(const SaxParser&) = delete;
  ~SaxParser();

  // Parses the next `bytes` of the document, calling the handler for what they
  // complete. Throws what the handler throws; ReadError "FILE: PART: XML with a
  // document type declaration is not allowed"; or ReadError "FILE: the file is
  // damaged: malformed XML in PART (line N: what libxml2 says)" when the XML is
  // not well-formed. After a throw the parser takes no more pieces.
  void Push(std::span<const char> bytes);

  // The document ends here. Throws as Push does, and when it is incomplete.
  void Finish();

 private:
  struct ContextFree {
    void operator()(xmlParserCtxt* context) const { xmlFreeParserCtxt(context); }
  };

  // Feeds libxml2, then throws whatever stopped it.
  void Parse(const char* bytes, int size, bool last);
  [[noreturn]] void FailMalformed() const;

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
  // Keeps the exception in flight, which may not cross libxml2's C frames, and
  // stops the parser.
  void Stop();
  // Stops the parser for a fault it leaves to us: the document is malformed.
  void Refuse(const std::string& what);

  SaxHandler& handler_;
  std::string file_;
  std::string part_;
  std::unique_ptr<xmlParserCtxt, ContextFree> context_;
  std::vector<std::string> decoded_;  // attribute values decoded, one place per attribute
  int depth_ = 0;                     // of the next element to start
  std::size_t text_length_ = 0;       // of the run of text since the last tag
  std::exception_ptr stopped_by_;     // what a callback threw
  bool document_type_ = false;        // a document type declaration was seen
  bool fatal_ = false;                // libxml2 met a fatal error
  std::string error_;                 // the first fault: "line N, column C: what"
};

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XML_SAX_PARSER_H_
