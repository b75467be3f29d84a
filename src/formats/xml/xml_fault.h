// The faults libxml2 finds in malformed XML, said in this program's own words,
// and kept off stderr.
//
// libxml2 describes a fault in text of its own ("AttValue: ' expected",
// "Premature end of data in tag row line 2"), which a refusal never shows as it
// is; its error code is mapped here to a few plain kinds.
#ifndef ZEROVA_FORMATS_XML_XML_FAULT_H_
#define ZEROVA_FORMATS_XML_XML_FAULT_H_

#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <string>
#include <string_view>

#include "services/error.h"

namespace zerova {

// The options every XML parser here starts from: no network, no DTD loading or
// validation, no entity substitution (no XML_PARSE_NOENT), no XML_PARSE_HUGE (so
// libxml2 keeps its limits on entity amplification, text length and nesting
// depth), and no messages on stderr: errors reach the parser's own handler.
inline constexpr int kQuietXmlOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

// Starts libxml2 before a parser is made, with its generic error function silenced:
// libxml2 reports some faults (a bad byte for the declared encoding) there, and
// prints them to stderr; the parser's own handler and the program's one-line error
// cover them.
void StartQuietXml();

// A structured error handler that drops what it is given, for a parser whose
// faults show in what it returns.
void IgnoreXmlError(void*, xmlErrorPtr);

// The code kept for libxml2's `error`: its own, or XML_ERR_INTERNAL_ERROR when it
// gives none, or kXmlTooDeep when the XML is nested deeper than libxml2 goes,
// or kXmlTextTooLong when a run of text is longer than it keeps.
int XmlFaultCode(const xmlError& error);

// The code of XML nested deeper than libxml2's limit (xmlParserMaxDepth, 256).
inline constexpr int kXmlTooDeep = -1;

// The code of a run of text longer than libxml2's limit (XML_MAX_TEXT_LENGTH,
// ten million bytes), which is this program's limit on a cell's text.
inline constexpr int kXmlTextTooLong = -2;

// The refusal of `file` for a run of text past that limit, found at `where`
// ("xl/sharedStrings.xml, line 2"): "FILE: a cell's text is longer than this
// program's limit of 10,000,000 bytes (WHERE)". The file may be well-formed:
// it is not called damaged.
ReadError TextTooLong(std::string_view file, std::string_view where);

// What a refusal of a file, or of `a_part` of one, for libxml2's `code` says:
// "its XML is nested deeper than 256 levels", else "it is not well-formed XML".
std::string XmlFaultFact(int code, bool a_part);

// What is wrong, for libxml2's error `code` (an xmlParserErrors value), as a
// short phrase: "an end tag does not match its start tag". Codes not listed
// give "the XML is malformed"; kXmlTooDeep, "elements are nested too deeply".
const char* XmlFaultText(int code);

// "line LINE, column COLUMN: what is wrong; libxml2 error CODE", the detail of a
// refusal of malformed XML; without the column when it is 0.
std::string XmlFaultDetail(int code, int line, int column);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XML_XML_FAULT_H_
