// What a SAX handler sees of an element as it starts (formats/xml/sax_parser.h):
// its name, namespace, depth and attributes, as views into libxml2's own
// buffers, valid during the StartElement call only.
//
// Names are SaxName: libxml2 keeps each element name, attribute name and
// namespace URI of a document once, in a dictionary the whole parse shares, so
// two names are equal iff they are one pointer. A handler finds the names it
// looks for once (SaxNames::Find, before the first element) and compares each
// element's with them, never its text.
#ifndef ZEROVA_FORMATS_XML_SAX_ELEMENT_H_
#define ZEROVA_FORMATS_XML_SAX_ELEMENT_H_

#include <libxml/parser.h>

#include <string>
#include <string_view>
#include <vector>

namespace zerova {

// A name of the document being parsed, or none (the namespace of an element or
// attribute that has none). Valid while its parse lasts.
class SaxName {
 public:
  SaxName() = default;

  bool operator==(const SaxName&) const = default;
  bool empty() const { return text_ == nullptr; }
  // The name's text; "" for none.
  std::string_view text() const {
    return text_ == nullptr ? std::string_view()
                            : std::string_view(reinterpret_cast<const char*>(text_));
  }

 private:
  friend class SaxAttribute;
  friend class SaxElement;
  friend class SaxNames;
  explicit SaxName(const xmlChar* text) : text_(text) {}

  const xmlChar* text_ = nullptr;
};

// The names of one parse.
class SaxNames {
 public:
  explicit SaxNames(xmlDict* dictionary) : dictionary_(dictionary) {}

  // `text` as the parse holds it: equal to the name of every element, attribute
  // or namespace of that text in the document. Throws std::bad_alloc when
  // libxml2 cannot keep it.
  SaxName Find(std::string_view text) const;

 private:
  xmlDict* dictionary_;
};

// One attribute of a starting element (namespace declarations are none).
class SaxAttribute {
 public:
  // `fields` are libxml2's five pointers (name, prefix, URI, value start and
  // end); `decoded` keeps the value when it must be decoded.
  SaxAttribute(const xmlChar* const* fields, std::string* decoded)
      : fields_(fields), decoded_(decoded) {}

  SaxName name() const { return SaxName(fields_[0]); }
  SaxName ns() const { return SaxName(fields_[2]); }
  // The value, references decoded. Valid during the StartElement call.
  std::string_view value() const {
    const auto* begin = reinterpret_cast<const char*>(fields_[3]);
    const auto* end = reinterpret_cast<const char*>(fields_[4]);
    for (const char* c = begin; c != end; ++c) {
      if (*c == '&') return Decoded();
    }
    return std::string_view(begin, static_cast<std::size_t>(end - begin));
  }

 private:
  // The value with its ampersands decoded, kept in `decoded_`.
  std::string_view Decoded() const;

  const xmlChar* const* fields_;
  std::string* decoded_;
};

class SaxElement {
 public:
  // `decoded` holds at least `attribute_count` strings, where values that must
  // be decoded are kept.
  SaxElement(const xmlChar* name, const xmlChar* ns, int depth, int attribute_count,
             const xmlChar** attributes, std::vector<std::string>* decoded)
      : name_(name),
        ns_(ns),
        depth_(depth),
        attribute_count_(attribute_count),
        attributes_(attributes),
        decoded_(decoded) {}

  // The local name, without a prefix.
  SaxName name() const { return SaxName(name_); }
  std::string_view local_name() const { return name().text(); }
  // The namespace; none when the element has none.
  SaxName ns() const { return SaxName(ns_); }
  // 0 for the root.
  int depth() const { return depth_; }

  // Calls `visit(const SaxAttribute&)` for each attribute, in document order.
  template <typename Visit>
  void ForEachAttribute(Visit visit) const {
    for (int i = 0; i < attribute_count_; ++i) {
      visit(SaxAttribute(attributes_ + 5 * i, &(*decoded_)[i]));
    }
  }

 private:
  const xmlChar* name_;
  const xmlChar* ns_;
  int depth_;
  int attribute_count_;
  const xmlChar** attributes_;
  std::vector<std::string>* decoded_;
};

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XML_SAX_ELEMENT_H_
