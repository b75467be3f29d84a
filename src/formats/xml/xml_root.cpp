#include "formats/xml/xml_root.h"

#include <libxml/parser.h>
#include <libxml/parserInternals.h>

#include <algorithm>
#include <memory>

#include "formats/xml/xml_fault.h"

namespace zerova {
namespace {

constexpr std::size_t kMaxSniff = std::size_t{1} << 20;

std::string Text(const xmlChar* text) {
  return text == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(text));
}

struct Sniff {
  XmlRoot* root;
  bool found = false;
};

void StartRoot(void* context, const xmlChar* local_name, const xmlChar*, const xmlChar* uri, int,
               const xmlChar**, int attribute_count, int, const xmlChar** attributes) {
  auto* parser = static_cast<xmlParserCtxtPtr>(context);
  auto* sniff = static_cast<Sniff*>(parser->_private);
  if (sniff->found) return;
  sniff->found = true;
  sniff->root->local_name = Text(local_name);
  sniff->root->ns = Text(uri);
  // Each attribute is five pointers: local name, prefix, URI, value start, value end.
  for (int i = 0; i < attribute_count; ++i) {
    const xmlChar** a = attributes + 5 * i;
    sniff->root->attributes.push_back(
        {Text(a[2]), Text(a[0]),
         std::string(reinterpret_cast<const char*>(a[3]), reinterpret_cast<const char*>(a[4]))});
  }
  xmlStopParser(parser);
}

struct ParserFree {
  void operator()(xmlParserCtxt* parser) const {
    // libxml2 may build a document for declarations it meets even without SAX
    // callbacks for them (a document type's entities); the context does not own it.
    if (parser->myDoc != nullptr) xmlFreeDoc(parser->myDoc);
    xmlFreeParserCtxt(parser);
  }
};

}  // namespace

std::string_view XmlRoot::Find(std::string_view ns_uri, std::string_view name) const {
  for (const Attribute& a : attributes) {
    if (a.ns == ns_uri && a.local_name == name) return a.value;
  }
  return {};
}

bool SniffXmlRoot(std::span<const std::uint8_t> prefix, XmlRoot* root) {
  prefix = prefix.first(std::min(prefix.size(), kMaxSniff));
  if (prefix.size() < 4) return false;
  StartQuietXml();
  xmlSAXHandler sax{};
  sax.initialized = XML_SAX2_MAGIC;
  sax.startElementNs = &StartRoot;
  sax.serror = &IgnoreXmlError;
  *root = XmlRoot();
  Sniff sniff{root};
  // The first four bytes let libxml2 detect the encoding.
  const auto* bytes = reinterpret_cast<const char*>(prefix.data());
  std::unique_ptr<xmlParserCtxt, ParserFree> parser(
      xmlCreatePushParserCtxt(&sax, nullptr, bytes, 4, nullptr));
  if (parser == nullptr) return false;
  parser->_private = &sniff;
  xmlCtxtUseOptions(parser.get(), kQuietXmlOptions);
  xmlParseChunk(parser.get(), bytes + 4, static_cast<int>(prefix.size() - 4), 0);
  return sniff.found;
}

}  // namespace zerova
