#include "conversion/document/line_builders.h"

#include <cassert>
#include <charconv>

#include "conversion/cell_text.h"
#include "conversion/xml_escape.h"

namespace zerova {
namespace {

// Appends the text of `cell`, escaped. Only text can need it: a number's,
// date's, truth value's or error's text is ASCII without markup or controls.
void AppendEscapedText(const CellView& cell, std::string& out) {
  if (cell.kind != CellKind::kText) return AppendCellText(cell, out);
  const std::size_t from = out.size();
  AppendCellText(cell, out);
  EscapeXmlTail(out, from);
}

}  // namespace

std::string& HeaderLine(std::string& out) {
  return out.append("<?xml version=\"1.0\" encoding=\"UTF-8\"?><Main>");
}

std::string& NodeStartLine(std::string& out, int column, const CellView& label) {
  assert(column >= 1);
  char digits[16];
  const auto end = std::to_chars(digits, digits + sizeof digits, column).ptr;
  out.append("<node id=\"n").append(digits, end).append("\" lbl=\"");
  AppendEscapedText(label, out);
  return out.append("\">");
}

std::string& ValueLine(std::string& out, const CellView& value) {
  out.append("<value>");
  AppendEscapedText(value, out);
  return out.append("</value>");
}

std::string& NodeEndLine(std::string& out) { return out.append("</node>"); }

std::string& ClosingLine(std::string& out) { return out.append("</Main>"); }

}  // namespace zerova
