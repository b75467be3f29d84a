// The zip and XML checks under the office readers: damaged and hostile packages,
// and files that are no workbook at all.
#include <gtest/gtest.h>

#include <string>

#include "support/office_book.h"

namespace zerova::test {
namespace {

TEST(OfficeContainerTest, FormatsZipsAndXmlAreChecked) {
  std::string bomb = Sheet("<row><c><v>1</v></c></row>");  // 20 MB deflate to about 20 KB
  bomb.insert(bomb.find("<sheetData>"), std::string(20u << 20, ' '));
  const std::string laughs = "<!DOCTYPE worksheet [<!ENTITY a \"lol\"><!ENTITY b \"&a;&a;&a;\">]>" +
                             Sheet("<row><c t=\"str\"><v>&b;</v></c></row>");
  const std::vector<std::uint8_t> xlsx = Zip(Xlsx("<row><c><v>1</v></c></row>"));
  Check({
      {"empty", {}, "refused: book.xls: the file is empty"},
      {"plain text", {'n', 'o', 't', 'e', '\n'}, std::string("refused: ") + kNotOurs},
      {"text document",
       Zip({{"mimetype", "application/vnd.oasis.opendocument.text"}, {"content.xml", "<x/>"}}),
       std::string("refused: ") + kNotOurs},
      {"truncated zip",
       {xlsx.begin(), xlsx.begin() + xlsx.size() / 2},
       "refused: damaged zip file"},
      {"zip bomb", Zip(With(Xlsx(""), "xl/worksheets/sheet1.xml", bomb.c_str())),
       "refused: refused as a zip bomb"},
      {"entities", Zip(With(Xlsx(""), "xl/worksheets/sheet1.xml", laughs.c_str())),
       "refused: sheet1.xml: XML with a document type declaration is not allowed"},
  });
}

}  // namespace
}  // namespace zerova::test
