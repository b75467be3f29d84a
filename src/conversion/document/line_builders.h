// The line builders: the output document's fixed name and the text of each
// kind of its lines.
//
// The document is UTF-8 without a byte-order mark; every line ends in CR LF,
// which the line appender adds. Each builder appends one line, without its end,
// to a buffer the caller reuses from line to line, and returns that buffer:
//
//   <?xml version="1.0" encoding="UTF-8"?><Main>
//   <node id="n1" lbl="Name">
//   <value>Ada</value>
//   </node>
//   </Main>
//
// A label or value is its cell's text (conversion/cell_text.h), appended where it
// goes and escaped there (conversion/xml_escape.h), so every document parses as
// XML and gives back the cells' text exactly, and no line needs a string of its own.
#ifndef ZEROVA_CONVERSION_DOCUMENT_LINE_BUILDERS_H_
#define ZEROVA_CONVERSION_DOCUMENT_LINE_BUILDERS_H_

#include <string>

#include "services/cell_value.h"

namespace zerova {

// The document's name, relative to the current working directory.
inline constexpr const char* kOutputDocumentName = "xmlstructure.xml";

// The XML declaration and the root start tag.
std::string& HeaderLine(std::string& out);

// The start of the node for 1-based `column`, labelled with the text of `label`.
// REQUIRES: column >= 1.
std::string& NodeStartLine(std::string& out, int column, const CellView& label);

// One value of the current node: the text of `value`.
std::string& ValueLine(std::string& out, const CellView& value);

// The end of the current node.
std::string& NodeEndLine(std::string& out);

// The root end tag.
std::string& ClosingLine(std::string& out);

}  // namespace zerova

#endif  // ZEROVA_CONVERSION_DOCUMENT_LINE_BUILDERS_H_
