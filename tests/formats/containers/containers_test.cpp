// The containers under the readers: damaged and hostile zip packages, compound
// files and XML, and files that are no workbook at all (every refusal of damage
// starts with the plain fact, never a library's own words); the zip's budget of
// inflated bytes, 200 times its size, checked against what each member declares
// when it is opened; and a zip without its central directory, read from its local
// headers, whose members come back whole or are refused.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formats/containers/ole2_container.h"
#include "formats/containers/zip_archive.h"
#include "formats/containers/zip_local_headers.h"
#include "services/error.h"
#include "support/biff_builder.h"
#include "support/document.h"
#include "support/office_book.h"
#include "support/zip_builder.h"

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
  const Bytes lengthened = b.Build(false, 512);
  const std::string standard =
      std::string(ZEROVA_TEST_DATA) + "/encrypted-xlsx-standard/input.xlsx";
  const Bytes encrypted = ReadFileBytes(standard);
  const auto utf16 = [](std::u16string_view name) {  // as the directory stores a name
    return std::string(reinterpret_cast<const char*>(name.data()), 2 * name.size());
  };
  const std::string info_name = utf16(u"EncryptionInfo"), renamed = utf16(u"XncryptionInfo");
  const std::string workbook_name = utf16(u"Workbook"), other_name = utf16(u"Xorkbook");
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

constexpr std::uint64_t kGiB = std::uint64_t{1} << 30;

// Members opened in turn from one archive of exactly `size` bytes: each is
// accepted and read whole, or refused when it is opened, before any of its
// data is inflated. The 10 GiB member's data is no deflate stream at all, so
// any inflating would fail as damaged; the 1.5 GB one stands in a zip large
// enough (200:1) and is accepted, though the budget is past 1 GiB.
TEST(ZipArchiveTest, AMemberDeclaringMoreThanIsLeftOfTheBudgetIsRefusedBeforeInflating) {
  const std::string bomb = "z.zip: part.xml: the zip would expand to more than 200 times its size";
  const struct {
    const char* why;
    std::size_t size;  // of the zip
    std::vector<RawZipMember> members;
    std::string refusal;  // of the last member; "" when every one is read
  } rows[] = {
      {"at the budget", 4000, {Deflated("part.xml", std::string(800000, '0'))}, ""},
      {"one byte past it",
       4000,
       {Deflated("part.xml", std::string(800001, '0'))},
       bomb + " (the part declares 800001 bytes); refused as a zip bomb"},
      {"the budget shared: the second passes what the first left",
       4000,
       {Deflated("first.xml", std::string(400000, '0')),
        Deflated("part.xml", std::string(400001, '0'))},
       bomb + " (the part declares 400001 bytes); refused as a zip bomb"},
      {"10 GiB declared",
       0,
       {{"part.xml", "no deflate stream", 10 * kGiB, 0}},
       bomb + " (the part declares 10737418240 bytes); refused as a zip bomb"},
      {"1.5 GB declared at 200:1, past any cap of 1 GiB",
       0,
       {{"part.xml", std::string(7500000, 'x'), 1500000000, 0}},
       ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    const std::vector<std::uint8_t> zip = RawZip(row.members, row.size);
    if (row.size != 0) {
      ASSERT_EQ(zip.size(), row.size);
    }
    ZipArchive archive(zip, "z.zip");
    std::string refusal;
    for (const RawZipMember& member : row.members) {
      try {
        ZipMember opened = archive.Open(member.path);
        if (member.data == "no deflate stream" || member.data.size() > 1000000) continue;
        std::uint64_t read = 0;
        char buffer[65536];
        while (const std::size_t n = opened.Read(buffer, sizeof buffer)) read += n;
        EXPECT_EQ(read, member.declared_size);
      } catch (const ReadError& e) {
        refusal = e.what();
      }
    }
    EXPECT_EQ(refusal, row.refusal);
  }
}

std::uint32_t U32(const Bytes& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

void Put32(Bytes& b, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Where a member's CRC and sizes stand: in its local header, or in a data
// descriptor after its data, with or without the descriptor's signature, its
// sizes in 4 bytes or 8 (zip64).
enum class Sizes { kInHeader, kInDescriptor, kInUnsignedDescriptor, kInZip64Descriptor };

// The members of `zip` (written by libgsf with their sizes in their local headers)
// without its central directory, their sizes where `sizes` says.
Bytes LocalPart(const Bytes& zip, Sizes sizes) {
  Bytes out;
  for (std::size_t at = 0; U32(zip, at) == 0x04034B50;) {
    const std::size_t data =
        at + 30 + (zip[at + 26] | zip[at + 27] << 8) + (zip[at + 28] | zip[at + 29] << 8);
    const std::size_t end = data + U32(zip, at + 18);
    const std::size_t header = out.size();
    out.insert(out.end(), zip.begin() + at, zip.begin() + end);
    if (sizes != Sizes::kInHeader) {
      out[header + 6] |= 0x08;
      for (std::size_t field : {14, 18, 22}) Put32(out, header + field, 0);
      const bool wide = sizes == Sizes::kInZip64Descriptor;
      Bytes descriptor(wide ? 24 : 16);
      Put32(descriptor, 0, 0x08074B50);
      for (std::size_t i = 0; i < 3; ++i) {
        Put32(descriptor, wide && i > 0 ? 8 * i : 4 + 4 * i, U32(zip, at + 14 + 4 * i));
      }
      const std::size_t from = sizes == Sizes::kInUnsignedDescriptor ? 4 : 0;
      out.insert(out.end(), descriptor.begin() + from, descriptor.end());
    }
    at = end;
  }
  return out;
}

// "a.xml=...|b/c.xml=..." as read back, or "refused: " and the message.
std::string ReadBack(const Bytes& local, std::uint64_t budget = 1 << 20) {
  try {
    const Bytes zip = ZipFromLocalHeaders(local, "book.xlsx", budget);
    ZipArchive archive(zip, "book.xlsx");
    return "a.xml=" + archive.ReadAll("a.xml", 1 << 20) +
           "|b/c.xml=" + archive.ReadAll("b/c.xml", 1 << 20);
  } catch (const ReadError& e) {
    return std::string("refused: ") + e.what();
  }
}

TEST(ZipLocalHeadersTest, MembersComeBackWholeOrTheZipIsRefused) {
  const std::string a(3000, 'a');
  const Bytes zip = Zip({{"a.xml", a}, {"b/c.xml", "hello"}});
  const Bytes sized = LocalPart(zip, Sizes::kInHeader);
  const Bytes described = LocalPart(zip, Sizes::kInDescriptor);
  const std::string whole = "a.xml=" + a + "|b/c.xml=hello";
  const std::string damaged = "refused: book.xlsx: the file is damaged: ";
  Bytes junk_after = sized;
  junk_after.insert(junk_after.end(), {'P', 'K', 1, 2, 0, 0});
  Bytes corrupt = described;
  corrupt[30 + 5 + (corrupt[28] | corrupt[29] << 8)] = 0x07;  // a block of the reserved type
  const struct {
    const char* name;
    Bytes local;
    std::string expected;
  } cases[] = {
      {"sizes in the local headers", sized, whole},
      {"sizes in data descriptors", described, whole},
      {"sizes in data descriptors without their signature",
       LocalPart(zip, Sizes::kInUnsignedDescriptor), whole},
      {"sizes in zip64 data descriptors", LocalPart(zip, Sizes::kInZip64Descriptor), whole},
      {"what follows the last member is left", junk_after, whole},
      {"the last member cut short", Bytes(sized.begin(), sized.end() - 3),
       damaged + "it is cut short (b/c.xml runs past the end of the zip)"},
      {"the last member cut short, its size to come",
       Bytes(described.begin(), described.end() - 20),
       damaged + "it is cut short (b/c.xml runs past the end of the zip)"},
      {"a local header cut short", Bytes(sized.begin(), sized.begin() + 20),
       damaged + "it is cut short (a local header runs past the end of the zip)"},
      {"deflated data that does not inflate", corrupt,
       damaged + "a part of it cannot be read (zip member a.xml: its deflated data is corrupt)"},
      {"no local header at the start", Bytes(sized.begin() + 1, sized.end()),
       damaged + "its table of contents cannot be read (a zip with neither a central directory "
                 "nor a local header at its start)"},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadBack(c.local), c.expected) << c.name;
  EXPECT_THAT(ReadBack(described, 2000), ::testing::EndsWith("refused as a zip bomb"));
  const Bytes with_folders = Zip({{"a.xml", a}, {"b/c.xml", ""}, {"d/", ""}});
  EXPECT_FALSE(ZipArchive(with_folders, "book.xlsx").Has("b"));  // a folder is no part,
  EXPECT_FALSE(ZipArchive(with_folders, "book.xlsx").Has("d"));  // even an empty one
}

// A zip without zip64 lists 65,535 members at most: so many are read, one more is refused.
TEST(ZipLocalHeadersTest, AtMost65535MembersAreListed) {
  const Bytes member = LocalPart(Zip({{"a.xml", "x"}}), Sizes::kInHeader);
  Bytes local;
  for (int i = 0; i < 65535; ++i) local.insert(local.end(), member.begin(), member.end());
  EXPECT_NO_THROW(ZipFromLocalHeaders(local, "book.xlsx", 1 << 20));
  local.insert(local.end(), member.begin(), member.end());
  EXPECT_THAT([&] { ZipFromLocalHeaders(local, "book.xlsx", 1 << 20); },
              ::testing::ThrowsMessage<ReadError>(::testing::HasSubstr("over 65,535 members")));
}

TEST(ZipLocalHeadersTest, TheEndRecordIsFoundWhereItMayStand) {
  const Bytes zip = Zip({{"a.xml", "x"}});
  Bytes commented = zip;
  commented[commented.size() - 2] = 3;  // a comment of three bytes
  commented.insert(commented.end(), {'a', 'b', 'c'});
  Bytes longer = zip;
  longer.push_back(0);
  EXPECT_TRUE(HasEndOfCentralDirectory(zip));
  EXPECT_TRUE(HasEndOfCentralDirectory(commented));
  EXPECT_FALSE(HasEndOfCentralDirectory(longer));  // its comment length does not reach the end
  EXPECT_FALSE(HasEndOfCentralDirectory(LocalPart(zip, Sizes::kInHeader)));
}

}  // namespace
}  // namespace zerova::test
