// Zip archives: the budget of inflated bytes, 200 times the zip's size, checked
// against what each member declares when it is opened (a bomb costs nothing, and
// no cap refuses a large real workbook); and a zip without its central directory,
// read from its local headers: the members come back whole whether their headers
// or data descriptors give their sizes, and one cut short or corrupt is refused.
#include "formats/containers/zip_archive.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formats/containers/zip_local_headers.h"
#include "services/error.h"
#include "support/zip_builder.h"

namespace zerova::test {
namespace {

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

using Bytes = std::vector<std::uint8_t>;

std::uint32_t U32(const Bytes& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

void Put32(Bytes& b, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Where a member's CRC and sizes stand: in its local header, or in a data
// descriptor after its data, with or without the descriptor's signature.
enum class Sizes { kInHeader, kInDescriptor, kInUnsignedDescriptor };

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
      Bytes descriptor(16);
      Put32(descriptor, 0, 0x08074B50);
      for (std::size_t i = 0; i < 3; ++i) Put32(descriptor, 4 + 4 * i, U32(zip, at + 14 + 4 * i));
      const std::size_t from = sizes == Sizes::kInDescriptor ? 0 : 4;
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
}

// A zip without zip64 lists 65,535 members at most: so many are read, one more is refused.
TEST(ZipLocalHeadersTest, AtMost65535MembersAreListed) {
  const Bytes member = LocalPart(Zip({{"a.xml", "x"}}), Sizes::kInHeader);
  Bytes local;
  for (int i = 0; i < 65535; ++i) local.insert(local.end(), member.begin(), member.end());
  EXPECT_NO_THROW(ZipFromLocalHeaders(local, "book.xlsx", 1 << 20));
  local.insert(local.end(), member.begin(), member.end());
  try {
    ZipFromLocalHeaders(local, "book.xlsx", 1 << 20);
    ADD_FAILURE() << "65,536 members listed";
  } catch (const ReadError& e) {
    EXPECT_THAT(e.what(), ::testing::HasSubstr("over 65,535 members"));
  }
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
