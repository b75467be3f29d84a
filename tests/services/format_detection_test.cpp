// Which reader a workbook's bytes go to, decided by content alone, and how the
// zip and XML layers under the .xlsx and .ods readers refuse hostile input.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "conversion/cell_text.h"
#include "services/error.h"
#include "services/spreadsheet.h"
#include "support/zip_builder.h"

namespace zerova {
namespace {

constexpr const char* kNotOurs =
    "not a spreadsheet file this program reads (.xls, .xlsx, .xlsm or .ods)";
constexpr const char* kPackageRels =
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
constexpr const char* kOfficeDocument =
    "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
    "relationships/officeDocument\" Target=\"xl/workbook.xml\"/>";

std::vector<std::uint8_t> BytesOf(const std::string& text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

// A minimal .xlsx whose only sheet holds `sheet_data` (the inside of <sheetData>).
testing::ZipBuilder MinimalXlsx(const std::string& sheet_xml) {
  const std::string main = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
  testing::ZipBuilder zip;
  zip.Add("_rels/.rels", std::string(kPackageRels) + kOfficeDocument + "</Relationships>");
  zip.Add("xl/workbook.xml",
          "<workbook xmlns=\"" + main +
              "\" xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
              "<sheets><sheet name=\"S\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>");
  zip.Add("xl/_rels/workbook.xml.rels",
          std::string(kPackageRels) +
              "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/"
              "2006/relationships/worksheet\" Target=\"worksheets/sheet1.xml\"/></Relationships>");
  zip.Add("xl/worksheets/sheet1.xml", sheet_xml);
  return zip;
}

std::string Sheet(const std::string& cells) {
  return "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
         "<sheetData><row r=\"1\">" +
         cells + "</row></sheetData></worksheet>";
}

// The message ReadWorkbookBytes refuses `bytes` with, or "" when it reads them.
std::string RefusalOf(const std::vector<std::uint8_t>& bytes, const std::string& name = "in") {
  try {
    ReadWorkbookBytes(bytes, name);
    return "";
  } catch (const ReadError& e) {
    return e.what();
  }
}

TEST(FormatDetectionTest, ContentDecidesTheReaderNotTheName) {
  testing::ZipBuilder ods;
  ods.Add("mimetype", "application/vnd.oasis.opendocument.spreadsheet", true);
  ods.Add(
      "content.xml",
      "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
      " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\"><office:body>"
      "<office:spreadsheet><table:table table:name=\"T\"><table:table-row><table:table-cell "
      "office:value-type=\"float\" office:value=\"4\"/></table:table-row></table:table>"
      "</office:spreadsheet></office:body></office:document-content>");
  const auto from_ods = ReadWorkbookBytes(ods.Bytes(), "named.xlsx");
  EXPECT_EQ(CellText(from_ods->Cell(1, 1)), "4");
  const auto from_xlsx =
      ReadWorkbookBytes(MinimalXlsx(Sheet("<c r=\"A1\"><v>5</v></c>")).Bytes(), "named.xls");
  EXPECT_EQ(CellText(from_xlsx->Cell(1, 1)), "5");
}

TEST(FormatDetectionTest, OtherFilesAreRefusedNamingTheFormatsWeRead) {
  testing::ZipBuilder text_document;
  text_document.Add("mimetype", "application/vnd.oasis.opendocument.text", true);
  text_document.Add("content.xml", "<x/>");
  testing::ZipBuilder plain_zip;
  plain_zip.Add("readme.txt", "hello");
  const std::vector<std::vector<std::uint8_t>> inputs = {BytesOf("Name,Age\nAda,36\n"),
                                                         BytesOf("%PDF-1.7\n"), BytesOf("PK"),
                                                         text_document.Bytes(), plain_zip.Bytes()};
  for (const auto& bytes : inputs) {
    EXPECT_EQ(RefusalOf(bytes, "f"), std::string("f: ") + kNotOurs);
  }
  EXPECT_EQ(RefusalOf({}, "f"), "f: the file is empty");
}

TEST(FormatDetectionTest, Ole2SignatureGoesToTheXlsReader) {
  std::vector<std::uint8_t> bytes = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  bytes.resize(600, 0);
  const std::string message = RefusalOf(bytes);
  EXPECT_NE(message, "");
  EXPECT_EQ(message.find(kNotOurs), std::string::npos) << message;
}

TEST(FormatDetectionTest, WordProcessingPackageIsNotAWorkbook) {
  testing::ZipBuilder docx = MinimalXlsx("");
  docx.Remove("xl/workbook.xml");
  docx.Add(
      "xl/workbook.xml",
      "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"/>");
  EXPECT_EQ(RefusalOf(docx.Bytes()),
            "in: not a spreadsheet: the package holds another kind of document");
}

TEST(OfficeContainerTest, ZipBombIsRefusedBeforeItIsInflated) {
  // 20 MB of blanks inside the sheet deflate to about 20 KB: a ratio near 1000.
  std::string sheet = Sheet("<c r=\"A1\"><v>1</v></c>");
  sheet.insert(sheet.find("<sheetData>"), std::string(20u << 20, ' '));
  const std::string message = RefusalOf(MinimalXlsx(sheet).Bytes());
  EXPECT_NE(message.find("refused as a zip bomb"), std::string::npos) << message;
}

TEST(OfficeContainerTest, TruncatedOrCorruptZipIsRefused) {
  std::vector<std::uint8_t> bytes = MinimalXlsx(Sheet("<c r=\"A1\"><v>1</v></c>")).Bytes();
  const std::vector<std::uint8_t> truncated(bytes.begin(), bytes.begin() + bytes.size() / 2);
  EXPECT_NE(RefusalOf(truncated).find("damaged zip file"), std::string::npos);
  // A flipped byte inside the deflated sheet.
  std::vector<std::uint8_t> corrupt = bytes;
  for (std::size_t i = 0; i + 4 < corrupt.size(); ++i) {
    if (std::string(corrupt.begin() + i, corrupt.begin() + i + 4) == "xl/w" && i > 40) {
      for (std::size_t j = i + 30; j < i + 60 && j < corrupt.size(); ++j) corrupt[j] ^= 0x5A;
      break;
    }
  }
  EXPECT_NE(RefusalOf(corrupt), "");
}

TEST(OfficeContainerTest, XmlEntitiesAreNeitherExpandedNorLoaded) {
  const std::string laughs =
      "<?xml version=\"1.0\"?><!DOCTYPE worksheet [<!ENTITY a \"aaaaaaaaaaaaaaaaaaaa\">"
      "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\"><!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">"
      "<!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\"><!ENTITY e \"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\">"
      "<!ENTITY f \"&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;\"><!ENTITY g \"&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;\">"
      "]>" +
      Sheet("<c r=\"A1\" t=\"str\"><v>&g;&g;&g;&g;&g;&g;&g;&g;&g;&g;</v></c>");
  const std::string external =
      "<?xml version=\"1.0\"?><!DOCTYPE worksheet [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>" +
      Sheet("<c r=\"A1\" t=\"str\"><v>&x;</v></c>");
  for (const std::string& sheet : {laughs, external}) {
    const std::string message = RefusalOf(MinimalXlsx(sheet).Bytes());
    EXPECT_NE(message.find("in: xl/worksheets/sheet1.xml: "), std::string::npos) << message;
    EXPECT_EQ(message.find("root:"), std::string::npos) << message;
  }
}

TEST(OfficeContainerTest, MemberNamesMatchIgnoringCase) {
  testing::ZipBuilder zip = MinimalXlsx(Sheet("<c r=\"A1\"><v>8</v></c>"));
  zip.Remove("xl/worksheets/sheet1.xml");
  zip.Add("xl/Worksheets/Sheet1.xml", Sheet("<c r=\"A1\"><v>8</v></c>"));
  EXPECT_EQ(CellText(ReadWorkbookBytes(zip.Bytes(), "in")->Cell(1, 1)), "8");
}

}  // namespace
}  // namespace zerova
