// The zip's budget of inflated bytes, 200 times the zip's size, checked against
// what each member declares when it is opened: a bomb costs nothing, and no
// cap refuses a large real workbook.
#include <gtest/gtest.h>

#include "formats/containers/zip_archive.h"
#include "services/error.h"
#include "support/zip_builder.h"

namespace zerova {
namespace {

using test::Deflated;
using test::RawZip;
using test::RawZipMember;

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

}  // namespace
}  // namespace zerova
