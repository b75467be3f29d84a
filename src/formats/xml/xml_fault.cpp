#include "formats/xml/xml_fault.h"

#include <libxml/parser.h>
#include <libxml/parserInternals.h>

namespace zerova {
namespace {

void IgnoreGenericError(void*, const char*, ...) {}

}  // namespace

void StartQuietXml() {
  xmlInitParser();
  xmlSetGenericErrorFunc(nullptr, &IgnoreGenericError);
}

void IgnoreXmlError(void*, xmlErrorPtr) {}

int XmlFaultCode(const xmlError& error) {
  // libxml2 tells the depth it refuses only in its own words, with its catch-all
  // code; its parser's stack of open elements says it plainly.
  const auto* parser = static_cast<const xmlParserCtxt*>(error.ctxt);
  if (error.code == XML_ERR_INTERNAL_ERROR && parser != nullptr &&
      parser->nameNr > static_cast<int>(xmlParserMaxDepth)) {
    return kXmlTooDeep;
  }
  // A text node past its limit it reports as memory it will not take.
  if (error.code == XML_ERR_NO_MEMORY && error.message != nullptr &&
      std::string_view(error.message).find("huge text node") != std::string_view::npos) {
    return kXmlTextTooLong;
  }
  return error.code != 0 ? error.code : XML_ERR_INTERNAL_ERROR;
}

// The messages and the manual name the limit as written here.
static_assert(XML_MAX_TEXT_LENGTH == 10'000'000);

ReadError TextTooLong(std::string_view file, std::string_view where) {
  return ReadError(file, "a cell's text is longer than this program's limit of 10,000,000 bytes (" +
                             std::string(where) + ")");
}

std::string XmlFaultFact(int code, bool a_part) {
  if (code == kXmlTooDeep) {
    return std::string(a_part ? "a part of it is" : "its XML is") + " nested deeper than " +
           std::to_string(xmlParserMaxDepth + 1) + " levels";
  }
  return a_part ? "a part of it is not well-formed XML" : "it is not well-formed XML";
}

const char* XmlFaultText(int code) {
  switch (code) {
    case kXmlTooDeep:
      return "elements are nested too deeply";
    case XML_ERR_DOCUMENT_EMPTY:
      return "the XML is empty";
    case XML_ERR_DOCUMENT_END:
    case XML_ERR_EXTRA_CONTENT:
      return "more follows the end of the XML";
    case XML_ERR_TAG_NOT_FINISHED:
    case XML_ERR_NOT_WELL_BALANCED:
      return "the XML ends inside an element";
    case XML_ERR_TAG_NAME_MISMATCH:
    case XML_ERR_LTSLASH_REQUIRED:
      return "an end tag does not match its start tag";
    case XML_ERR_GT_REQUIRED:
    case XML_ERR_NAME_REQUIRED:
    case XML_ERR_SPACE_REQUIRED:
    case XML_ERR_LT_REQUIRED:
      return "a tag is malformed";
    case XML_ERR_STRING_NOT_STARTED:
    case XML_ERR_STRING_NOT_CLOSED:
    case XML_ERR_LT_IN_ATTRIBUTE:
    case XML_ERR_ATTRIBUTE_NOT_STARTED:
    case XML_ERR_ATTRIBUTE_NOT_FINISHED:
    case XML_ERR_ATTRIBUTE_WITHOUT_VALUE:
    case XML_ERR_ATTRIBUTE_REDEFINED:
    case XML_ERR_EQUAL_REQUIRED:
    case XML_NS_ERR_ATTRIBUTE_REDEFINED:
      return "an attribute is malformed";
    case XML_ERR_INVALID_CHAR:
    case XML_ERR_INVALID_CHARREF:
    case XML_ERR_INVALID_DEC_CHARREF:
    case XML_ERR_INVALID_HEX_CHARREF:
      return "a character that XML does not allow";
    case XML_ERR_INVALID_ENCODING:
    case XML_ERR_UNKNOWN_ENCODING:
    case XML_ERR_UNSUPPORTED_ENCODING:
    case XML_ERR_ENCODING_NAME:
      return "bytes that are not text in the XML's encoding";
    case XML_ERR_ENTITYREF_NO_NAME:
    case XML_ERR_ENTITYREF_SEMICOL_MISSING:
    case XML_ERR_UNDECLARED_ENTITY:
    case XML_WAR_UNDECLARED_ENTITY:
      return "an unknown or malformed reference (&...;)";
    case XML_ERR_XMLDECL_NOT_STARTED:
    case XML_ERR_XMLDECL_NOT_FINISHED:
    case XML_ERR_VERSION_MISSING:
    case XML_ERR_UNKNOWN_VERSION:
    case XML_ERR_RESERVED_XML_NAME:
      return "the XML declaration is malformed";
    case XML_ERR_COMMENT_NOT_FINISHED:
    case XML_ERR_PI_NOT_FINISHED:
    case XML_ERR_CDATA_NOT_FINISHED:
      return "a comment, CDATA section or processing instruction is not closed";
    case XML_NS_ERR_UNDEFINED_NAMESPACE:
    case XML_NS_ERR_QNAME:
    case XML_NS_ERR_EMPTY:
    case XML_ERR_NS_DECL_ERROR:
      return "a namespace is undeclared or malformed";
    case XML_ERR_NAME_TOO_LONG:
      return "a name or text is longer than the parser allows";
    default:
      return "the XML is malformed";
  }
}

std::string XmlFaultDetail(int code, int line, int column) {
  std::string detail = "line " + std::to_string(line);
  if (column > 0) detail += ", column " + std::to_string(column);
  return detail + ": " + XmlFaultText(code) + "; libxml2 error " +
         std::to_string(code == kXmlTooDeep ? XML_ERR_INTERNAL_ERROR : code);
}

}  // namespace zerova
