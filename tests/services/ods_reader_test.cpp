// The .ods reader, on spreadsheets built in memory: value types, paragraph text,
// repeated rows and columns, covered cells, the active table, and refusals.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "conversion/cell_text.h"
#include "services/error.h"
#include "services/spreadsheet.h"
#include "support/zip_builder.h"

namespace zerova {
namespace {

constexpr const char* kNamespaces =
    " xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
    " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
    " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\""
    " xmlns:config=\"urn:oasis:names:tc:opendocument:xmlns:config:1.0\""
    " xmlns:calcext=\"urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0\"";

// An .ods whose content.xml holds `tables` (and `before` ahead of them), with
// settings.xml naming `active` when it is not empty.
std::vector<std::uint8_t> Ods(const std::string& tables, const std::string& active = "",
                              const std::string& before = "") {
  testing::ZipBuilder zip;
  zip.Add("mimetype", "application/vnd.oasis.opendocument.spreadsheet", true);
  zip.Add("content.xml", std::string("<office:document-content") + kNamespaces +
                             "><office:body><office:spreadsheet>" + before + tables +
                             "</office:spreadsheet></office:body></office:document-content>");
  if (!active.empty()) {
    zip.Add(
        "settings.xml",
        std::string("<office:document-settings") + kNamespaces +
            "><office:settings><config:config-item-set config:name=\"ooo:view-settings\">"
            "<config:config-item-map-indexed config:name=\"Views\"><config:config-item-map-entry>"
            "<config:config-item config:name=\"ActiveTable\" config:type=\"string\">" +
            active +
            "</config:config-item></config:config-item-map-entry>"
            "</config:config-item-map-indexed></config:config-item-set></office:settings>"
            "</office:document-settings>");
  }
  return zip.Bytes();
}

std::string Table(const std::string& name, const std::string& rows) {
  return "<table:table table:name=\"" + name + "\"><table:table-column/>" + rows + "</table:table>";
}

std::unique_ptr<Worksheet> ReadOdsBytes(const std::vector<std::uint8_t>& bytes) {
  return ReadWorkbookBytes(bytes, "book.ods");
}

std::string TextOfCell(const std::string& cell) {
  const auto sheet =
      ReadOdsBytes(Ods(Table("S", "<table:table-row>" + cell + "</table:table-row>")));
  return CellText(sheet->Cell(1, 1));
}

TEST(OdsReaderTest, EachValueTypeBecomesItsText) {
  struct Case {
    const char* cell;
    const char* text;
  };
  const Case cases[] = {
      {"<table:table-cell office:value-type=\"float\" office:value=\"1.5\"><text:p>1,50</text:p>"
       "</table:table-cell>",
       "1.5"},
      {"<table:table-cell office:value-type=\"percentage\" office:value=\"0.25\"/>", "0.25"},
      {"<table:table-cell office:value-type=\"currency\" office:currency=\"EUR\" "
       "office:value=\"-3\"/>",
       "-3"},
      {"<table:table-cell office:value-type=\"date\" office:date-value=\"2024-03-01\"/>",
       "2024-03-01"},
      {"<table:table-cell office:value-type=\"date\" office:date-value=\"2024-03-01T08:15:30\"/>",
       "2024-03-01 08:15:30"},
      {"<table:table-cell office:value-type=\"time\" office:time-value=\"PT12H30M00S\"/>",
       "12:30:00"},
      {"<table:table-cell office:value-type=\"time\" office:time-value=\"PT36H00M00S\"/>",
       "1900-01-01 12:00:00"},
      {"<table:table-cell office:value-type=\"boolean\" office:boolean-value=\"true\"/>", "True"},
      {"<table:table-cell office:value-type=\"boolean\" office:boolean-value=\"false\"/>", "False"},
      {"<table:table-cell office:value-type=\"string\"><text:p>a<text:s text:c=\"3\"/>b<text:tab/>c"
       "<text:line-break/>d</text:p><text:p><text:span>e</text:span> f</text:p></table:table-cell>",
       "a   b\tc\nd\ne f"},
      {"<table:table-cell office:value-type=\"string\"><text:p>  x \n  y  "
       "</text:p></table:table-cell>",
       "x y "},
      {"<table:table-cell office:value-type=\"string\"><office:annotation><text:p>note</text:p>"
       "</office:annotation><text:p>shown</text:p></table:table-cell>",
       "shown"},
      {"<table:table-cell office:value-type=\"string\" office:string-value=\"attr\"><text:p>p"
       "</text:p></table:table-cell>",
       "attr"},
      {"<table:table-cell office:value-type=\"string\"><text:p/></table:table-cell>", ""},
      {"<table:table-cell><text:p>untyped</text:p></table:table-cell>", "untyped"},
      {"<table:table-cell office:value-type=\"string\" calcext:value-type=\"error\">"
       "<text:p>#DIV/0!</text:p></table:table-cell>",
       "#DIV/0!"},
  };
  for (const Case& c : cases) EXPECT_EQ(TextOfCell(c.cell), c.text) << c.cell;
}

TEST(OdsReaderTest, RepeatedRowsAndColumnsAreClampedAndCostNothingWhenEmpty) {
  const std::string v = "<table:table-cell office:value-type=\"float\" office:value=\"7\"/>";
  const auto sheet = ReadOdsBytes(
      Ods(Table("S",
                "<table:table-row table:number-rows-repeated=\"2\">"
                "<table:table-cell table:number-columns-repeated=\"2\"/>" +
                    v.substr(0, v.size() - 2) +
                    " table:number-columns-repeated=\"3\"/></table:table-row>"
                    "<table:table-row table:number-rows-repeated=\"4000000000\"><table:table-cell "
                    "table:number-columns-repeated=\"99999\"/></table:table-row>"
                    "<table:table-row>" +
                    v + "</table:table-row>")));
  for (std::int64_t row : {1, 2}) {
    EXPECT_TRUE(sheet->Cell(row, 2).IsEmpty());
    for (std::int64_t column : {3, 4, 5}) EXPECT_EQ(CellText(sheet->Cell(row, column)), "7");
    EXPECT_TRUE(sheet->Cell(row, 6).IsEmpty());
  }
  EXPECT_TRUE(sheet->Cell(3, 3).IsEmpty());
  EXPECT_TRUE(sheet->Cell(1048576, 1).IsEmpty());
}

TEST(OdsReaderTest, RepeatedCellStopsAtTheLastColumn) {
  const auto sheet = ReadOdsBytes(Ods(Table(
      "S",
      "<table:table-row table:number-rows-repeated=\"1048576\"><table:table-cell "
      "office:value-type=\"float\" office:value=\"1\" table:number-columns-repeated=\"20000\"/>"
      "<table:table-cell office:value-type=\"float\" office:value=\"2\"/></table:table-row>")));
  EXPECT_EQ(CellText(sheet->Cell(1048576, 16384)), "1");
  EXPECT_TRUE(sheet->Cell(1048577, 1).IsEmpty());
  EXPECT_TRUE(sheet->Cell(1, 16385).IsEmpty());
}

TEST(OdsReaderTest, CoveredCellsTakeTheirColumns) {
  const auto sheet = ReadOdsBytes(
      Ods(Table("S",
                "<table:table-row><table:table-cell table:number-columns-spanned=\"2\" "
                "office:value-type=\"string\"><text:p>wide</text:p></table:table-cell>"
                "<table:covered-table-cell/><table:table-cell office:value-type=\"float\" "
                "office:value=\"3\"/></table:table-row>")));
  EXPECT_EQ(CellText(sheet->Cell(1, 1)), "wide");
  EXPECT_TRUE(sheet->Cell(1, 2).IsEmpty());
  EXPECT_EQ(CellText(sheet->Cell(1, 3)), "3");
}

TEST(OdsReaderTest, ActiveTableComesFromSettings) {
  const std::string first = Table("One",
                                  "<table:table-row><table:table-cell office:value-type="
                                  "\"string\"><text:p>one</text:p></table:table-cell>"
                                  "</table:table-row>");
  const std::string second = Table("Two",
                                   "<table:table-row><table:table-cell office:value-type="
                                   "\"string\"><text:p>two</text:p></table:table-cell>"
                                   "</table:table-row>");
  EXPECT_EQ(CellText(ReadOdsBytes(Ods(first + second, "Two"))->Cell(1, 1)), "two");
  EXPECT_EQ(CellText(ReadOdsBytes(Ods(first + second))->Cell(1, 1)), "one");
  EXPECT_THROW(ReadOdsBytes(Ods(first + second, "Three")), ReadError);
}

TEST(OdsReaderTest, NullDate1904MakesSerialsOfThatSystem) {
  const auto sheet = ReadOdsBytes(
      Ods(Table("S",
                "<table:table-row><table:table-cell office:value-type=\"date\" "
                "office:date-value=\"1904-01-03\"/></table:table-row>"),
          "",
          "<table:calculation-settings><table:null-date table:date-value=\"1904-01-01\"/>"
          "</table:calculation-settings>"));
  EXPECT_EQ(sheet->Cell(1, 1).date_system, DateSystem::k1904);
  EXPECT_EQ(sheet->Cell(1, 1).number, 2);
  EXPECT_EQ(CellText(sheet->Cell(1, 1)), "1904-01-03");
}

TEST(OdsReaderTest, DamagedSpreadsheetsAreRefusedWithOneLine) {
  struct Case {
    const char* row;
    const char* message;
  };
  const Case cases[] = {
      {"<table:table-row table:number-rows-repeated=\"0\"/>", "bad repeat count \"0\""},
      {"<table:table-row><table:table-cell "
       "table:number-columns-repeated=\"-2\"/></table:table-row>",
       "bad repeat count"},
      {"<table:table-row><table:table-cell office:value-type=\"float\" office:value=\"x\"/>"
       "</table:table-row>",
       "content.xml: bad number \"x\""},
      {"<table:table-row><table:table-cell office:value-type=\"float\"/></table:table-row>",
       "bad number"},
      {"<table:table-row><table:table-cell office:value-type=\"date\" office:date-value=\"soon\"/>"
       "</table:table-row>",
       "bad date"},
      {"<table:table-row><table:table-cell office:value-type=\"time\" office:time-value=\"P1M\"/>"
       "</table:table-row>",
       "bad time"},
      {"<table:table-row><table:table-cell office:value-type=\"string\" "
       "calcext:value-type=\"error\">"
       "<text:p>Err:502</text:p></table:table-cell></table:table-row>",
       "unknown error value \"Err:502\""},
      {"<table:table-row><table:table-cell office:value-type=\"blob\"/></table:table-row>",
       "unknown value type"},
      {"<table:table-row><table:table-cell></table:table-row>", "malformed XML"},
  };
  for (const Case& c : cases) {
    try {
      ReadOdsBytes(Ods(Table("S", c.row)));
      ADD_FAILURE() << "read: " << c.row;
    } catch (const ReadError& e) {
      const std::string message = e.what();
      EXPECT_EQ(message.rfind("book.ods: ", 0), 0u) << message;
      EXPECT_NE(message.find(c.message), std::string::npos) << message;
      EXPECT_EQ(message.find('\n'), std::string::npos) << message;
    }
  }
}

TEST(OdsReaderTest, SpacesWithoutEndAreRefused) {
  std::string paragraph;
  for (int i = 0; i < 2000; ++i) paragraph += "<text:s text:c=\"99999999\"/>";
  EXPECT_THROW(
      ReadOdsBytes(Ods(Table("S", "<table:table-row><table:table-cell><text:p>" + paragraph +
                                      "</text:p></table:table-cell>"
                                      "</table:table-row>"))),
      ReadError);
}

}  // namespace
}  // namespace zerova
