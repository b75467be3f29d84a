// XmlStream: an XML document, read node by node with libxml2's xmlTextReader, from
// a zip member or from bytes in memory (a flat file that is one XML document).
//
// Never builds a document tree, so a part of any size is read in constant memory
// (apart from what the caller keeps). The parser is locked down: no network, no
// DTD loading, no external entities, no entity substitution, libxml2's own limits
// on names, text and nesting; a part that declares a document type is refused,
// since no spreadsheet part has one. An ElementWalk goes through one element's inside.
#ifndef ZEROVA_FORMATS_XML_XML_STREAM_H_
#define ZEROVA_FORMATS_XML_XML_STREAM_H_

#include <libxml/xmlreader.h>

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "formats/containers/zip_archive.h"
#include "services/read_progress.h"

namespace zerova {

class XmlStream {
 public:
  enum class Node { kStart, kEnd, kText, kOther };

  // Reads the XML of `member`. `file` names the zip in error messages, which
  // read "FILE: PART: what".
  XmlStream(ZipMember member, std::string file);
  // Reads the XML in `bytes`, which must outlive the stream. `file` names them in
  // error messages, which read "FILE: what". Reading reports to `progress`
  // (null: none).
  XmlStream(std::span<const std::uint8_t> bytes, std::string file,
            ReadProgress* progress = nullptr);
  XmlStream(const XmlStream&) = delete;
  XmlStream& operator=(const XmlStream&) = delete;
  ~XmlStream();

  // Moves to the next node; false at the end of the part. An empty element
  // (<a/>) gives a kStart node alone, with IsEmpty() true, and no kEnd.
  // Throws Damaged naming the file, the part and the place when the XML is
  // malformed.
  bool Next();

  // Moves past the current start element's content and its end, so the next
  // Next() gives the node after it. REQUIRES: node() == kStart.
  void SkipElement();

  // The text inside the current start element, child elements' text included, read
  // through its end: "" for an empty element. REQUIRES: node() == kStart.
  std::string ReadText();

  Node node() const { return node_; }
  bool IsEmpty() const;
  // The element's depth: 0 for the root.
  int Depth() const;
  // The current element's local name and namespace URI ("" for none).
  // Valid until the next call that moves the stream.
  std::string_view LocalName() const;
  std::string_view Namespace() const;
  // A kText node's text (text, CDATA or whitespace). Valid until the stream moves.
  std::string_view Text() const;

  // Calls `visit(namespace, local_name, value)` for each attribute of the
  // current start element; namespace declarations are left out.
  void ForEachAttribute(
      const std::function<void(std::string_view, std::string_view, std::string_view)>& visit);

  // The value of the attribute `local_name` in `ns` ("" for none) of the current
  // start element; false when it has none.
  bool Attribute(std::string_view ns, std::string_view local_name, std::string* value);

  // Throws ReadError "FILE: PART: `what`" ("FILE: `what`" for bytes in memory):
  // a refusal of what the XML holds, not of damage.
  [[noreturn]] void Fail(std::string_view what) const;

  // Throws Damaged(file, fact, "PART: line N: detail"), without "PART: " for
  // bytes in memory and without "line N: " at the end of the XML: the refusal of
  // a damaged file (services/error.h), at the line the parser has reached.
  [[noreturn]] void Damaged(std::string_view fact, std::string_view detail) const;

  // The zip member's path; "" for bytes in memory.
  const std::string& part() const { return part_; }
  // Whom reading reports to; null: nobody.
  ReadProgress* progress() const { return member_ ? member_->progress() : meter_.progress(); }

 private:
  // Starts the reader over ReadCallback. `name` is the document's URL for libxml2.
  void Start(const char* name);
  static int ReadCallback(void* context, char* buffer, int size);
  // Copies up to `size` further bytes of the source into `buffer`; 0 at the end.
  std::size_t ReadSource(char* buffer, std::size_t size);
  static void ErrorCallback(void* context, xmlErrorPtr error);
  // Classifies the node the reader is on; throws on a document type declaration.
  void Classify();
  [[noreturn]] void FailFromParser() const;
  // The fact of a refusal of malformed XML: of a part, or of the whole file.
  const char* NotWellFormed() const;

  struct ReaderFree {
    void operator()(xmlTextReader* reader) const { xmlFreeTextReader(reader); }
  };

  std::optional<ZipMember> member_;       // the zip member, or
  std::span<const std::uint8_t> memory_;  // the bytes in memory
  std::size_t offset_ = 0;                // of memory_ read so far
  InputMeter meter_;                      // over memory_
  std::string file_;
  std::string part_;
  std::exception_ptr read_error_;  // thrown by the member inside the parser's callback
  // The parser's first error: its xmlParserErrors code (0: none yet) and place.
  int parser_error_ = 0;
  int parser_line_ = 0;
  int parser_column_ = 0;
  std::unique_ptr<xmlTextReader, ReaderFree> reader_;
  Node node_ = Node::kOther;
  int pending_ = -1;  // after SkipElement: the result of the move already made, else -1
};

// A walk through what lies inside the start element an XmlStream is on:
//   for (ElementWalk walk(xml); walk.Next();) { ... }
// Each step stops on a start element inside, at any depth; the caller reads it
// through its end, skips it (SkipElement) or steps on into it. An empty element
// has nothing inside. Once the walk ends the stream is on the element's end (on
// the element itself when it is empty).
class ElementWalk {
 public:
  explicit ElementWalk(XmlStream& xml) : xml_(xml), depth_(xml.IsEmpty() ? -1 : xml.Depth()) {}

  // Moves to the next start element inside; false at the element's end.
  bool Next() { return Step(false); }
  // Moves to the next start element or text inside; false at the element's end.
  bool NextOrText() { return Step(true); }
  // How far inside the stream stands: 1 on a child, 2 on a grandchild.
  int Level() const { return xml_.Depth() - depth_; }

 private:
  bool Step(bool text);

  XmlStream& xml_;
  int depth_;  // the element's; -1 once there is nothing more inside
};

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XML_XML_STREAM_H_
