// The .xlsx and .ods readers, and the zip, XML and format checks under them, on
// files built in memory. Whole real files are compared in fixtures_test.cpp; these
// tables hold what fixtures cannot show: bad input and the edges of the rules.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "conversion/cell_text.h"
#include "services/cell_address.h"
#include "services/error.h"
#include "services/spreadsheet.h"
#include "support/zip_builder.h"

namespace zerova {
namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;
using testing::Zip;
using testing::ZipMembers;

constexpr const char* kRels = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const std::string kMain = " xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";
constexpr const char* kOneSheet = "<sheets><sheet r:id=\"rId1\"/></sheets>";
constexpr const char* kNotOurs = "not a spreadsheet file this program reads";

std::string Sheet(const std::string& rows) {
  return "<worksheet" + kMain + "><sheetData>" + rows + "</sheetData></worksheet>";
}

// Relationships, each given as its id, kind and target.
std::string Rels(const std::vector<std::array<std::string, 3>>& rels) {
  std::string xml =
      "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
      "relationships\">";
  for (const auto& [id, kind, target] : rels) {
    xml += "<Relationship Id=\"" + id + "\" Type=\"" + kRels + "/" + kind + "\" Target=\"" +
           target + "\"/>";
  }
  return xml + "</Relationships>";
}

// An .xlsx whose first sheet holds `rows`; its second is a chartsheet. Without
// `shared`, the package has neither shared strings nor styles.
ZipMembers Xlsx(const std::string& rows, const std::string& workbook = kOneSheet,
                const char* shared = "<si><t>東京</t></si><si><t/></si>") {
  std::vector<std::array<std::string, 3>> rels = {
      {"rId1", "worksheet", "worksheets/sheet1.xml"},
      {"rId2", "chartsheet", "/xl/chartsheets/sheet2.xml"}};
  if (shared) {
    rels.push_back({"rId3", "sharedStrings", "sharedStrings.xml"});
    rels.push_back({"rId4", "styles", "./styles.xml"});
  }
  ZipMembers parts = {{"_rels/.rels", Rels({{"rId1", "officeDocument", "xl/workbook.xml"}})},
                      {"xl/workbook.xml", "<workbook" + kMain + " xmlns:r=\"" + kRels + "\">" +
                                              workbook + "</workbook>"},
                      {"xl/_rels/workbook.xml.rels", Rels(rels)},
                      {"xl/worksheets/sheet1.xml", Sheet(rows)}};
  if (shared) {
    parts.push_back({"xl/sharedStrings.xml", "<sst" + kMain + ">" + shared + "</sst>"});
    parts.push_back({"xl/styles.xml", "<styleSheet" + kMain +
                                          "><cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/>"
                                          "</cellXfs></styleSheet>"});
  }
  return parts;
}

// An .ods whose one table holds `rows`.
ZipMembers Ods(const std::string& rows) {
  return {
      {"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
      {"content.xml",
       "<office:document-content"
       " xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
       " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
       " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" xmlns:calcext="
       "\"urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0\"><office:body>"
       "<office:spreadsheet><table:table table:name=\"One\">" +
           rows + "</table:table></office:spreadsheet></office:body></office:document-content>"}};
}

// `parts` with the member at `path` given `contents`, or dropped when it is null.
ZipMembers With(ZipMembers parts, const std::string& path, const char* contents) {
  std::erase_if(parts, [&](const auto& part) { return part.first == path; });
  if (contents) parts.push_back({path, contents});
  return parts;
}

// What the reader makes of `bytes` named "book.xls" (the content, not the name, picks
// the reader): "refused: <message>", or the
// non-empty cells of the first 6 rows and 28 columns and the last row and column
// (and one past each) as "A1=text|B1=text".
std::string Outcome(const std::vector<std::uint8_t>& bytes) {
  try {
    const auto sheet = ReadWorkbookBytes(bytes, "book.xls");
    std::string cells;
    for (std::int64_t row : {1, 2, 3, 4, 5, 6, 1048576, 1048577}) {
      for (std::int64_t column = 1; column <= 16385; column = column == 28 ? 16384 : column + 1) {
        const CellValue& value = sheet->Cell(row, column);
        if (value.IsEmpty()) continue;
        cells +=
            (cells.empty() ? "" : "|") + CellReferenceText(row, column) + "=" + CellText(value);
      }
    }
    return cells;
  } catch (const ReadError& e) {
    return std::string("refused: ") + e.what();
  }
}

struct Case {
  const char* name;
  std::vector<std::uint8_t> bytes;
  std::string expected;  // the Outcome, or "refused: " and a part of the one-line message
};

void Check(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    const std::string outcome = Outcome(c.bytes);
    if (c.expected.starts_with("refused: ")) {
      EXPECT_THAT(outcome, AllOf(StartsWith("refused: book.xls: "), HasSubstr(c.expected.substr(9)),
                                 Not(HasSubstr("\n"))))
          << c.name;
    } else {
      EXPECT_EQ(outcome, c.expected) << c.name;
    }
  }
}

TEST(XlsxReaderTest, CellsAndRefusals) {
  Check({
      {"numbers, a style past the list, surrogate escapes",
       Zip(Xlsx("<row r=\"1\"><c r=\"A1\"><v>1E+20</v></c><c r=\"B1\" s=\"99\"><v>2</v></c>"
                "<c r=\"C1\" s=\"1\"/><c r=\"D1\" t=\"inlineStr\"><is><t>_xD83D__xDE00_</t></is>"
                "</c><c r=\"AB1\" t=\"s\"><v>0</v></c></row><row><c r=\"AB2\" "
                "t=\"s\"><v>1</v></c></row>")),
       "A1=1E+20|B1=2|D1=\xF0\x9F\x98\x80|AB1=東京"},
      {"t=\"d\" is a date in any style; days before 1900-03-01 keep their day",
       Zip(Xlsx("<row><c t=\"d\" s=\"0\"><v>1900-02-28</v></c><c t=\"d\"><v>1900-03-01</v></c>"
                "<c t=\"d\"><v>24:00:00</v></c><c t=\"d\"><v>2024-02-29T06:00:00.75+02:00</v>"
                "</c><c t=\"d\"><v>1899-12-30</v></c></row>")),
       "A1=1900-02-28|B1=1900-03-01|C1=1900-01-01|D1=2024-02-29 06:00:01|E1=-1"},
      {"no shared strings or styles",
       Zip(Xlsx("<row><c s=\"1\"><v>7</v></c></row>", kOneSheet, {})), "A1=7"},
      {"names match ignoring case",
       Zip(With(With(Xlsx(""), "xl/worksheets/sheet1.xml", nullptr), "xl/Worksheets/Sheet1.XML",
                Sheet("<row><c><v>8</v></c></row>").c_str())),
       "A1=8"},
      {"missing shared string", Zip(Xlsx("<row><c r=\"XFD1048576\" t=\"s\"><v>2</v></c></row>")),
       "refused: xl/worksheets/sheet1.xml: cell XFD1048576: shared string 2 is missing"},
      {"negative shared string", Zip(Xlsx("<row><c t=\"s\"><v>-1</v></c></row>")),
       "refused: cell A1: bad shared string index \"-1\""},
      {"bad row", Zip(Xlsx("<row r=\"1048577\"><c><v>1</v></c></row>")),
       "refused: bad row number \"1048577\""},
      {"unknown error", Zip(Xlsx("<row><c t=\"e\"><v>#BAD!</v></c></row>")),
       "refused: cell A1: unknown error value \"#BAD!\""},
      {"bad number", Zip(Xlsx("<row><c><v>1,5</v></c></row>")), "refused: bad number \"1,5\""},
      {"bad boolean", Zip(Xlsx("<row><c t=\"b\"><v>2</v></c></row>")), "refused: bad boolean"},
      {"unknown type", Zip(Xlsx("<row><c t=\"x\"><v>2</v></c></row>")),
       "refused: unknown cell type \"x\""},
      {"malformed", Zip(Xlsx("<row><c><v>1</v></row>")), "refused: sheet1.xml: malformed XML"},
      {"active tab past the sheets reads the first",
       Zip(Xlsx("<row><c t=\"inlineStr\"><is><t>a</t></is></c></row>",
                "<bookViews><workbookView activeTab=\"3\"/></bookViews>" + std::string(kOneSheet))),
       "A1=a"},
      {"active chartsheet",
       Zip(Xlsx("",
                "<bookViews><workbookView activeTab=\"1\"/></bookViews><sheets><sheet "
                "r:id=\"rId1\"/><sheet r:id=\"rId2\"/></sheets>")),
       "refused: book.xls: the active sheet is not a worksheet"},
      {"no sheets", Zip(Xlsx("", "<sheets/>")), "refused: the workbook has no sheets"},
      {"missing relationship", Zip(Xlsx("", "<sheets><sheet r:id=\"rId9\"/></sheets>")),
       "refused: relationship \"rId9\" is missing"},
      {"a word-processing document",
       Zip(With(Xlsx(""), "xl/workbook.xml",
                "<w:document "
                "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"/>")),
       "refused: not a spreadsheet: the package holds another kind of document"},
  });
  for (const char* part : {"xl/worksheets/sheet1.xml", "xl/sharedStrings.xml", "xl/styles.xml",
                           "xl/_rels/workbook.xml.rels", "xl/workbook.xml"}) {
    EXPECT_EQ(Outcome(Zip(With(Xlsx(""), part, nullptr))),
              std::string("refused: book.xls: missing part ") + part);
  }
  for (const char* r : {"1A", "A01", "XFE1", "A1B"}) {
    EXPECT_THAT(Outcome(Zip(Xlsx("<row><c r=\"" + std::string(r) + "\"><v>1</v></c></row>"))),
                HasSubstr("bad cell reference \"" + std::string(r) + "\""));
  }
  for (const char* date : {"24-01-01", "2024-1-1", "2023-02-29", "2024-01-01T25:00",
                           "2024-01-01T10:00:00+2", "24:00:01"}) {
    EXPECT_THAT(Outcome(Zip(Xlsx("<row><c t=\"d\"><v>" + std::string(date) + "</v></c></row>"))),
                HasSubstr("bad date \"" + std::string(date) + "\""));
  }
}

TEST(OdsReaderTest, CellsAndRefusals) {
  std::string spaces;  // 2000 × 99999999 spaces: far more than any text may hold
  for (int i = 0; i < 2000; ++i) spaces += "<text:s text:c=\"99999999\"/>";
  auto row = [](const std::string& cells) {
    return Zip(Ods("<table:table-row>" + cells + "</table:table-row>"));
  };
  Check({
      {"values",
       row("<table:table-cell office:value-type=\"string\" office:string-value=\"attr\">"
           "<text:p>p</text:p></table:table-cell><table:table-cell>"
           "<text:p>  x \n  y  </text:p></table:table-cell><table:table-cell "
           "office:value-type=\"string\" calcext:value-type=\"error\"><text:p>#DIV/0!</text:p>"
           "</table:table-cell><table:table-cell office:value-type=\"string\"><text:p/>"
           "</table:table-cell>"),
       "A1=attr|B1=x y |C1=#DIV/0!"},
      {"dates before 1900-03-01 keep their day; times are days",
       row("<table:table-cell office:value-type=\"date\" office:date-value=\"1900-02-28\"/>"
           "<table:table-cell office:value-type=\"date\" office:date-value=\"1900-01-01\"/>"
           "<table:table-cell office:value-type=\"time\" office:time-value=\"P1DT12H\"/>"
           "<table:table-cell office:value-type=\"time\" office:time-value=\"-PT6H\"/>"
           "<table:table-cell office:value-type=\"time\" office:time-value=\"PT013H45M0.75S\"/>"),
       "A1=1900-02-28|B1=1900-01-01|C1=1900-01-01 12:00:00|D1=-0.25|E1=13:45:01"},
      {"repeats are clamped to the grid and cost nothing when empty",
       Zip(Ods("<table:table-row table:number-rows-repeated=\"1048575\"><table:table-cell "
               "table:number-columns-repeated=\"99999\"/></table:table-row>"
               "<table:table-row table:number-rows-repeated=\"4000000000\"><table:table-cell "
               "table:number-columns-repeated=\"16383\"/><table:table-cell "
               "table:number-columns-repeated=\"3\"><text:p>1</text:p>"
               "</table:table-cell><table:table-cell><text:p>2</text:p></table:table-cell>"
               "</table:table-row><table:table-row><table:table-cell><text:p>3</text:p>"
               "</table:table-cell></table:table-row>")),
       "XFD1048576=1"},
      {"missing active table reads the first",
       Zip(With(Ods("<table:table-row><table:table-cell><text:p>one</text:p></table:table-cell>"
                    "</table:table-row>"),
                "settings.xml",
                "<config:config-item-set xmlns:config=\"urn:oasis:names:tc:opendocument:xmlns:"
                "config:1.0\"><config:config-item config:name=\"ActiveTable\">Two"
                "</config:config-item></config:config-item-set>")),
       "A1=one"},
      {"missing content", Zip(With(Ods(""), "content.xml", nullptr)),
       "refused: missing part content.xml"},
      {"zero repeat", Zip(Ods("<table:table-row table:number-rows-repeated=\"0\"/>")),
       "refused: bad repeat count \"0\""},
      {"negative repeat", row("<table:table-cell table:number-columns-repeated=\"-2\"/>"),
       "refused: bad repeat count \"-2\""},
      {"bad number", row("<table:table-cell office:value-type=\"float\" office:value=\"x\"/>"),
       "refused: content.xml: bad number \"x\""},
      {"bad date", row("<table:table-cell office:value-type=\"date\" office:date-value=\"soon\"/>"),
       "refused: bad date \"soon\""},
      {"unknown error",
       row("<table:table-cell office:value-type=\"string\" calcext:value-type=\"error\">"
           "<text:p>Err:502</text:p></table:table-cell>"),
       "refused: unknown error value \"Err:502\""},
      {"unknown type", row("<table:table-cell office:value-type=\"blob\"/>"),
       "refused: unknown value type"},
      {"malformed", row("<table:table-cell>"), "refused: content.xml: malformed XML"},
      {"spaces without end",
       row("<table:table-cell><text:p>" + spaces + "</text:p></table:table-cell>"),
       "refused: too many spaces (text:s)"},
  });
  for (const char* time : {"PT1D", "PT-1H", "PT1H2", "1H", "PT"}) {
    EXPECT_THAT(Outcome(row("<table:table-cell office:value-type=\"time\" office:time-value=\"" +
                            std::string(time) + "\"/>")),
                HasSubstr("bad time \"" + std::string(time) + "\""));
  }
}

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
      {"csv", {'a', ',', 'b', '\n'}, std::string("refused: ") + kNotOurs},
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
}  // namespace zerova
