#include "conversion/output_document.h"

#include <cassert>

#include "conversion/xml_escape.h"

namespace zerova {

std::string HeaderLine() { return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Main>"; }

std::string NodeStartLine(int column, std::string_view label) {
  assert(column >= 1);
  std::string line = "<node id=\"n";
  line.append(std::to_string(column));
  line.append("\" lbl=\"");
  AppendXmlEscaped(label, line);
  line.append("\">");
  return line;
}

std::string ValueLine(std::string_view value) {
  std::string line = "<value>";
  AppendXmlEscaped(value, line);
  line.append("</value>");
  return line;
}

std::string NodeEndLine() { return "</node>"; }

std::string ClosingLine() { return "</Main>"; }

}  // namespace zerova
