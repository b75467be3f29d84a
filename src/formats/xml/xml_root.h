// XmlRoot: the root element of an XML document, found in the document's first
// bytes, so format detection can tell one XML format from another without reading
// the whole file.
//
// Read with libxml2's push parser, locked down as XmlStream is: nothing is loaded
// from outside, no entity is substituted, and parsing stops at the root's start tag.
#ifndef ZEROVA_FORMATS_XML_XML_ROOT_H_
#define ZEROVA_FORMATS_XML_XML_ROOT_H_

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zerova {

struct XmlRoot {
  struct Attribute {
    std::string ns;  // namespace URI, "" for none
    std::string local_name;
    std::string value;
  };

  std::string local_name;
  std::string ns;                     // namespace URI, "" for none
  std::vector<Attribute> attributes;  // namespace declarations left out

  // True iff the root is `local_name` in namespace `ns`.
  bool Is(std::string_view ns_uri, std::string_view name) const {
    return ns == ns_uri && local_name == name;
  }

  // The value of the attribute `name` in namespace `ns_uri`, or "" when it has none.
  std::string_view Find(std::string_view ns_uri, std::string_view name) const;
};

// Parses `prefix`, a document's first bytes (a byte-order mark, the XML
// declaration, comments, processing instructions and a document type declaration
// may come first), through the start tag of its root element. Returns true and
// fills `root` iff that start tag lies within `prefix` and everything before it is
// well-formed XML. Looks at no more than the first 1 MiB.
bool SniffXmlRoot(std::span<const std::uint8_t> prefix, XmlRoot* root);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XML_XML_ROOT_H_
