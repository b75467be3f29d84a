#include "conversion/output_document.h"

#include <cassert>
#include <charconv>

#include "conversion/xml_escape.h"

namespace zerova {

std::string& HeaderLine(std::string& out) {
  return out.append("<?xml version=\"1.0\" encoding=\"UTF-8\"?><Main>");
}

std::string& NodeStartLine(std::string& out, int column, std::string_view label) {
  assert(column >= 1);
  char digits[16];
  const auto end = std::to_chars(digits, digits + sizeof digits, column).ptr;
  out.append("<node id=\"n").append(digits, end).append("\" lbl=\"");
  AppendXmlEscaped(label, out);
  return out.append("\">");
}

std::string& ValueLine(std::string& out, std::string_view value) {
  out.append("<value>");
  AppendXmlEscaped(value, out);
  return out.append("</value>");
}

std::string& NodeEndLine(std::string& out) { return out.append("</node>"); }

std::string& ClosingLine(std::string& out) { return out.append("</Main>"); }

}  // namespace zerova
