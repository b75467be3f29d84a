#include "support/office_book.h"

#include <gtest/gtest.h>

#include <array>

#include "conversion/cell_text.h"
#include "services/cell_address.h"
#include "services/error.h"
#include "services/spreadsheet.h"
#include "support/document.h"

namespace zerova::test {
namespace {

const std::string kMain = " xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";
const std::string kRels = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

// Relationships, each given as its id, kind (of the officeDocument relationships) and target.
std::string Rels(std::vector<std::array<std::string, 3>> rels) {
  for (auto& rel : rels) rel[1] = kRels + "/" + rel[1];
  return Relationships(rels);
}

}  // namespace

std::string Sheet(const std::string& rows) {
  return "<worksheet" + kMain + "><sheetData>" + rows + "</sheetData></worksheet>";
}

ZipMembers Xlsx(const std::string& rows, const std::string& workbook, const char* shared) {
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

std::vector<std::uint8_t> Xml2003(const std::vector<std::string>& tables, const std::string& head) {
  std::string xml =
      "<?xml version=\"1.0\"?>\n<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\""
      " xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\""
      " xmlns:x=\"urn:schemas-microsoft-com:office:excel\">" +
      head;
  for (const std::string& table : tables) {
    xml += "<Worksheet ss:Name=\"S\"><Table>" + table + "</Table></Worksheet>";
  }
  return TextBytes(xml + "</Workbook>");
}

ZipMembers With(ZipMembers parts, const std::string& path, const char* contents) {
  std::erase_if(parts, [&](const auto& part) { return part.first == path; });
  if (contents) parts.push_back({path, contents});
  return parts;
}

std::string Outcome(const std::vector<std::uint8_t>& bytes, const std::string& name) {
  try {
    const auto sheet = ReadActiveSheet(bytes, name);
    std::string cells;
    for (std::int64_t row : {1, 2, 3, 4, 5, 6, 1048576, 1048577}) {
      for (std::int64_t column = 1; column <= 16385; column = column == 28 ? 16384 : column + 1) {
        const CellView value = sheet->Cell(row, column);
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

void Check(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    const std::string outcome = Outcome(c.bytes);
    if (!c.expected.starts_with("damaged: ") && !c.expected.starts_with("refused: ")) {
      EXPECT_EQ(outcome, c.expected) << c.name;
      continue;
    }
    const bool damaged = c.expected.starts_with("damaged: ");
    const std::string part = c.expected.substr(9), head = "refused: book.xls: ";
    EXPECT_TRUE(damaged ? outcome.starts_with(head + "the file is damaged: " + part)
                        : outcome.starts_with(head) && outcome.find(part) != std::string::npos)
        << c.name << ": " << outcome;
    EXPECT_EQ(outcome.find('\n'), std::string::npos) << c.name;
  }
}

}  // namespace zerova::test
