// The zip and XML checks under the office readers: damaged and hostile packages,
// and files that are no workbook at all.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "support/office_book.h"

namespace zerova::testing {
namespace {

using ::testing::HasSubstr;

TEST(OfficeContainerTest, FormatsZipsAndXmlAreChecked) {
  std::string bomb = Sheet("<row><c><v>1</v></c></row>");  // 20 MB deflate to about 20 KB
  bomb.insert(bomb.find("<sheetData>"), std::string(20u << 20, ' '));
  const std::string laughs = "<!DOCTYPE worksheet [<!ENTITY a \"lol\"><!ENTITY b \"&a;&a;&a;\">]>" +
                             Sheet("<row><c t=\"str\"><v>&b;</v></c></row>");
  const std::string external = "<!DOCTYPE worksheet [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>" +
                               Sheet("<row><c t=\"str\"><v>&x;</v></c></row>");
  const std::vector<std::uint8_t> xlsx = Zip(Xlsx("<row><c><v>1</v></c></row>"));
  std::vector<std::uint8_t> corrupt = xlsx;
  for (std::size_t i = corrupt.size() / 2; i < corrupt.size() / 2 + 40; ++i) corrupt[i] ^= 0x5A;
  Check({
      {"empty", {}, "refused: book.xls: the file is empty"},
      {"plain text", {'n', 'o', 't', 'e', '\n'}, std::string("refused: ") + kNotOurs},
      {"text document",
       Zip({{"mimetype", "application/vnd.oasis.opendocument.text"}, {"content.xml", "<x/>"}}),
       std::string("refused: ") + kNotOurs},
      {"truncated zip",
       {xlsx.begin(), xlsx.begin() + xlsx.size() / 2},
       "refused: damaged zip file"},
      {"corrupt zip", corrupt, "refused: "},
      {"zip bomb", Zip(With(Xlsx(""), "xl/worksheets/sheet1.xml", bomb.c_str())),
       "refused: refused as a zip bomb"},
      {"entities", Zip(With(Xlsx(""), "xl/worksheets/sheet1.xml", laughs.c_str())),
       "refused: sheet1.xml: XML with a document type declaration is not allowed"},
      {"external entity", Zip(With(Xlsx(""), "xl/worksheets/sheet1.xml", external.c_str())),
       "refused: sheet1.xml: XML with a document type declaration is not allowed"},
  });
}

}  // namespace
}  // namespace zerova::testing
