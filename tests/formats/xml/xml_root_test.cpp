// SniffXmlRoot on document openings: what may come before the root, and what is no XML.
#include <gtest/gtest.h>

#include <string>

#include "formats/xml/xml_root.h"

namespace zerova {
namespace {

TEST(XmlRootTest, FindsTheRootInTheFirstBytes) {
  const std::string ss = "urn:schemas-microsoft-com:office:spreadsheet";
  struct Row {
    const char* name;
    std::string prefix;
    std::string root;  // "{namespace}local name", or "" when none is found
  };
  const std::string workbook = "<Workbook xmlns=\"" + ss + "\" xmlns:ss=\"" + ss + "\">";
  std::string utf16 = "\xFF\xFE";
  for (char c : std::string("<?xml version=\"1.0\" encoding=\"UTF-16\"?><Book/>")) {
    utf16 += c;
    utf16 += '\0';
  }
  const Row rows[] = {
      {"plain", workbook, "{" + ss + "}Workbook"},
      {"UTF-16", utf16, "{}Book"},
      {"cut in the root's start tag", workbook.substr(0, 30), ""},
      {"HTML that is not XML", "<html><body><br></body></html>", "{}html"},
  };
  for (const Row& row : rows) {
    XmlRoot root;
    const auto* data = reinterpret_cast<const std::uint8_t*>(row.prefix.data());
    const bool found = SniffXmlRoot({data, row.prefix.size()}, &root);
    EXPECT_EQ(found ? "{" + root.ns + "}" + root.local_name : "", row.root) << row.name;
  }
}

}  // namespace
}  // namespace zerova
