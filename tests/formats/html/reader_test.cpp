// The HTML reader on pages written here: visible text, spans, which table, the
// page's encoding, and pages that hold no table.
#include <gtest/gtest.h>

#include <string>

#include "conversion/cell_text.h"
#include "support/document.h"
#include "support/office_book.h"

namespace zerova::test {
namespace {

// A page whose one table holds `rows`.
std::vector<std::uint8_t> Page(const std::string& rows) {
  return TextBytes("<!DOCTYPE html><html><body><table>" + rows + "</table></body></html>");
}

TEST(HtmlReaderTest, TextSpansAndRefusals) {
  std::string wide;  // 16 cells of 1000 columns each (clamped), then up to XFD and past it
  for (int i = 1; i <= 16; ++i) wide += "<td colspan=\"99999\">" + std::to_string(i) + "</td>";
  wide += "<td colspan=\"383\"></td><td>edge</td><td>past</td>";
  Check({
      {"white space around <br> and blocks goes; a nested table's text stands on its own lines",
       Page("<tr><td>x <br> y<br></td><td><p>p1</p> <div>d</div>tail</td><td>a<br><br></td>"
            "<td>top<table><tr><td>1</td><td>2</td></tr></table>end</td></tr>"),
       "A1=x\ny|B1=p1\nd\ntail|C1=a\n|D1=top\n1\t2\nend"},
      {"markup and text outside the cells and inside hidden elements add nothing",
       Page("<tr><br><p>row</p><td>x</td>stray<template><br></template><td>a<template><br><p>t</p>"
            "</template>b</td></tr>"),
       "A1=x|B1=ab"},
      {"a cell shifts right past a rowspan in the second column",
       Page("<tr><td>a</td><td rowspan=\"2\">b</td><td>c</td></tr><tr><td>d</td><td>e</td></tr>"),
       "A1=a|B1=b|C1=c|A2=d|C2=e"},
      {"spans: text in the first cell, later cells shift right past rowspans",
       Page("<tr><td rowspan=\"2\">r</td><td colspan=\"2\">c</td><td>d</td></tr>"
            "<tr><td>e</td><td rowspan=\"0\">f</td><td>g</td></tr>"
            "<tr><td>h</td><td>i</td></tr><tr><td>j</td></tr>"),
       "A1=r|B1=c|D1=d|B2=e|C2=f|D2=g|A3=h|B3=i|A4=j"},
      {"spans are clamped; what lies past the last column is dropped",
       Page("<tr>" + wide +
            "</tr><tr><td rowspan=\"4000000000\" colspan=\"-3\">a</td>"
            "<td colspan=\" 2x\">b</td><td>c</td></tr><tr><td>d</td></tr>"),
       "A1=1|XFD1=edge|A2=a|B2=b|D2=c|B3=d"},
      {"the charset of the page",
       TextBytes("<html><head><meta charset=\"windows-1252\"></head><table><tr><td>\x80 "
                 "caf\xE9</td></tr></table>"),
       "A1=€ café"},
      {"UTF-8 with its byte-order mark, the table first",
       TextBytes("\xEF\xBB\xBF<table><tr><td>caf\xC3\xA9</td></tr></table>"), "A1=café"},
      {"UTF-16 little-endian with its byte-order mark",
       {0xFF, 0xFE, '<', 0,   't', 0,   'a', 0,   'b', 0,   'l', 0,    'e',
        0,    '>',  0,   '<', 0,   't', 0,   'd', 0,   '>', 0,   0xE9, 0},
       "A1=é"},
      {"UTF-16 big-endian with its byte-order mark",
       {0xFE, 0xFF, 0,   '<', 0,   't', 0,   'a', 0,   'b', 0,   'l', 0,
        'e',  0,    '>', 0,   '<', 0,   't', 0,   'd', 0,   '>', 0,   0xE9},
       "A1=é"},
      {"bytes ending in a cut-short UTF-8 sequence: Windows-1252",
       TextBytes("<table><tr><td>caf\xE2\x82"), "A1=caf\xC3\xA2\xE2\x80\x9A"},
      {"no table", TextBytes("<html><body><p>none</p></body></html>"),
       "refused: the web page holds no table"},
  });
}

// A rowspan reaches at most 65,534 rows, as browsers clamp it: the cell of row
// 65,535 stands in the first column again, the one of row 65,534 beside the span.
TEST(HtmlReaderTest, ARowspanEndsAfter65534Rows) {
  std::string rows = "<tr><td rowspan=\"70000\">a</td><td>b</td></tr>";
  for (int row = 2; row <= 65535; ++row) rows += "<tr><td>x</td></tr>";
  const std::vector<std::uint8_t> page = Page(rows);
  const std::unique_ptr<Worksheet> sheet = ReadActiveSheet(page, "page.html");
  EXPECT_EQ(CellText(sheet->Cell(65534, 2)), "x");
  EXPECT_EQ(CellText(sheet->Cell(65534, 1)), "");
  EXPECT_EQ(CellText(sheet->Cell(65535, 1)), "x");
  EXPECT_EQ(CellText(sheet->Cell(65535, 2)), "");
}

}  // namespace
}  // namespace zerova::test
