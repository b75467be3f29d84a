// Format detection of files that are one text document: which reader the first
// bytes pick, whatever the file's name.
#include <gtest/gtest.h>

#include <string>

#include "support/office_book.h"

namespace zerova::testing {
namespace {

TEST(SpreadsheetServiceTest, TextDocumentsAreToldApartByContent) {
  const std::string ss = "urn:schemas-microsoft-com:office:spreadsheet";
  const std::string cell = "<Row><Cell><Data ss:Type=\"String\">xml</Data></Cell></Row>";
  const std::string xml2003 = "<Workbook xmlns=\"" + ss + "\" xmlns:ss=\"" + ss +
                              "\"><Worksheet><Table>" + cell + "</Table></Worksheet></Workbook>";
  const std::string fods =
      "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
      "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" office:mimetype="
      "\"application/vnd.oasis.opendocument.spreadsheet\"><office:body><office:spreadsheet>"
      "<table:table><table:table-row><table:table-cell office:value-type=\"float\" "
      "office:value=\"2\"/></table:table-row></table:table></office:spreadsheet></office:body>"
      "</office:document>";
  Check({
      {"XML Spreadsheet 2003 after a mark, a declaration and comments",
       TextBytes("\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<!-- a, b -->\n<?mso-application x?>" +
                 xml2003),
       "A1=xml"},
      {"flat OpenDocument", TextBytes(fods), "A1=2"},
      {"XHTML",
       TextBytes("<?xml version=\"1.0\"?><html xmlns=\"http://www.w3.org/1999/xhtml\">"
                 "<body><table><tr><td>1,5</td></tr></table></body></html>"),
       "A1=1,5"},
      {"HTML after a comment", TextBytes("  <!-- x -->\n<Table><tr><td>t</td></tr></Table>"),
       "A1=t"},
      {"delimited text", TextBytes("a,b\n1,2\n"), "A1=a|B1=b|A2=1|B2=2"},
      {"some other XML", TextBytes("<?xml version=\"1.0\"?><catalog>a,b\n1,2\n</catalog>"),
       std::string("refused: ") + kNotOurs},
      {"binary",
       TextBytes(std::string("\x7F"
                             "ELF\x02\x01\x01\0\0\0\0",
                             12)),
       std::string("refused: ") + kNotOurs},
  });
}

}  // namespace
}  // namespace zerova::testing
