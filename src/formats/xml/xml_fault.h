// The faults libxml2 finds in malformed XML, said in this program's own words.
//
// libxml2 describes a fault in text of its own ("AttValue: ' expected",
// "Premature end of data in tag row line 2"), which a refusal never shows as it
// is; its error code is mapped here to a few plain kinds.
#ifndef ZEROVA_FORMATS_XML_XML_FAULT_H_
#define ZEROVA_FORMATS_XML_XML_FAULT_H_

#include <string>

namespace zerova {

// What is wrong, for libxml2's error `code` (an xmlParserErrors value), as a
// short phrase: "an end tag does not match its start tag". Codes not listed
// give "the XML is malformed".
const char* XmlFaultText(int code);

// "line LINE, column COLUMN: what is wrong; libxml2 error CODE", the detail of a
// refusal of malformed XML; without the column when it is 0.
std::string XmlFaultDetail(int code, int line, int column);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XML_XML_FAULT_H_
