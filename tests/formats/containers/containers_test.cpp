// The containers under the readers: damaged and hostile zip packages, compound
// files and XML, and files that are no workbook at all. Every refusal of damage
// starts with the plain fact and never shows a library's own words.
#include <gtest/gtest.h>

#include <string>

#include "formats/containers/ole2_container.h"
#include "support/biff_builder.h"
#include "support/document.h"
#include "support/office_book.h"

namespace zerova::test {
namespace {

// `bytes` with the first `from` after `after` (or from the start) made `to`.
Bytes Replaced(Bytes bytes, const std::string& from, const std::string& to,
               const std::string& after = "") {
  const std::string text(bytes.begin(), bytes.end());
  const std::size_t at = text.find(from, text.find(after));
  EXPECT_NE(at, std::string::npos) << from;
  std::copy(to.begin(), to.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
  return bytes;
}

// `zip` with the deflated data of its member `name` starting with a block of the
// reserved type, which no inflater takes (RFC 1951 3.2.3).
Bytes CorruptDeflate(Bytes zip, const std::string& name) {
  const std::string text(zip.begin(), zip.end());
  const std::size_t header = text.find(name) - 30;
  zip[header + 30 + name.size() + (zip[header + 28] | zip[header + 29] << 8)] = 0x07;
  return zip;
}

TEST(OfficeContainerTest, FormatsZipsAndXmlAreChecked) {
  std::string bomb = Sheet("<row><c><v>1</v></c></row>");  // 20 MB deflate to about 20 KB
  bomb.insert(bomb.find("<sheetData>"), std::string(20u << 20, ' '));
  const std::string laughs = "<!DOCTYPE worksheet [<!ENTITY a \"lol\"><!ENTITY b \"&a;&a;&a;\">]>" +
                             Sheet("<row><c t=\"str\"><v>&b;</v></c></row>");
  const std::vector<std::uint8_t> xlsx = Zip(Xlsx("<row><c><v>1</v></c></row>"));
  const std::string sheet = "xl/worksheets/sheet1.xml";
  const std::string xml2003 = "<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\">";
  // libxml2's columns: where it stood when it found the fault.
  Check({
      {"empty", {}, "refused: book.xls: the file is empty"},
      {"plain text", {'n', 'o', 't', 'e', '\n'}, std::string("refused: ") + kNotOurs},
      {"text document",
       Zip({{"mimetype", "application/vnd.oasis.opendocument.text"}, {"content.xml", "<x/>"}}),
       std::string("refused: ") + kNotOurs},
      {"truncated zip",
       {xlsx.begin(), xlsx.begin() + xlsx.size() / 2},
       "damaged: its table of contents cannot be read (zip central directory)"},
      {"a member that does not inflate", CorruptDeflate(xlsx, sheet),
       "damaged: a part of it cannot be read (zip member " + sheet +
           ": its compressed data cannot be inflated)"},
      {"an end tag of another element",
       Zip(With(Xlsx(""), sheet, "<worksheet><sheetData><row></sheetData></worksheet>")),
       "damaged: a part of it is not well-formed XML (" + sheet +
           ": line 1: an end tag does not match its start tag; libxml2 error 76)"},
      {"a flat document cut short", TextBytes(xml2003 + "<Worksheet"),
       "damaged: it is not well-formed XML (line 1, column 74: a tag is malformed; libxml2 "
       "error 73)"},
      {"zip bomb", Zip(With(Xlsx(""), sheet, bomb.c_str())), "refused: refused as a zip bomb"},
      {"entities", Zip(With(Xlsx(""), sheet, laughs.c_str())),
       "refused: sheet1.xml: XML with a document type declaration is not allowed"},
  });
}

TEST(OfficeContainerTest, CompoundFilesAreChecked) {
  BiffBuilder b;
  b.Bof(Biff::k8).Xf(0).Boundsheet("S").Eof().Bof(Biff::k8, kWorksheetBof);
  for (int row = 0; row < 300; ++row) b.Number(row, 0, row);  // 5,900 bytes
  b.Eof();
  const Bytes lengthened = b.BuildLengthened(512);
  const std::string standard =
      std::string(ZEROVA_TEST_DATA) + "/encrypted-xlsx-standard/input.xlsx";
  const Bytes encrypted = ReadFileBytes(standard);
  const std::u16string info = u"EncryptionInfo";
  const std::string info_name(reinterpret_cast<const char*>(info.data()), 2 * info.size());
  std::string renamed = info_name;
  renamed[0] = 'X';
  const std::u16string workbook = u"Workbook";
  const std::string workbook_name(reinterpret_cast<const char*>(workbook.data()),
                                  2 * workbook.size());
  std::string other_name = workbook_name;
  other_name[0] = 'X';
  Bytes uneven = Replaced(b.Build(), workbook_name, other_name);
  uneven.push_back(0);
  Check({
      {"a header whose sector size is not a power of two fit for it",
       Replaced(b.Build(), std::string("\x09\x00", 2), std::string("\x1F\x00", 2)),
       "damaged: its table of contents cannot be read (OLE2 header, sector allocation table or "
       "directory)"},
      {"a stream declared longer than its sectors", lengthened,
       "damaged: a part of it cannot be read (OLE2 stream Workbook cannot be read whole)"},
      {"no workbook stream", Replaced(b.Build(), workbook_name, other_name),
       "refused: not an Excel workbook: the OLE2 file has no Workbook or Book stream"},
      {"no workbook stream, and the file ends inside a sector", uneven,
       "damaged: it ends inside a sector, as a file cut short does (OLE2 file of "},
      {"an encrypted package whose header stream lost its name",
       Replaced(encrypted, info_name, renamed),
       "damaged: it is an encrypted workbook whose encryption header is damaged (no "
       "EncryptionInfo stream)"},
  });
  // What the sectors of the lengthened stream hold is there to read.
  const Ole2Container container(lengthened, "book.xls");
  const std::vector<std::uint8_t> stored = container.ReadStored("Workbook");
  ASSERT_EQ(stored.size(), (b.BuildBare().size() + 511) / 512 * 512);
  EXPECT_TRUE(std::equal(b.BuildBare().begin(), b.BuildBare().end(), stored.begin()));
}

}  // namespace
}  // namespace zerova::test
