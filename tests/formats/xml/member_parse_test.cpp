// ParseXmlMember: a zip member inflated on one thread and parsed on the other,
// through a few small buffers. Parts that end on and beside a buffer's edge,
// and a failure or a stop on either side, which must reach the caller with both
// threads ended and the inflating stopped early.
#include "formats/xml/member_parse.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "services/error.h"
#include "support/zip_builder.h"

namespace zerova::test {
namespace {

// Keeps the text under the root and counts elements; throws at the start of
// element `throw_at` (from 1; 0: never).
class TextKeeper final : public SaxHandler {
 public:
  void StartElement(const SaxElement&) override {
    if (++elements == throw_at) throw ReadError("book.xlsx", "cell A1: bad number");
  }
  void EndElement(int) override {}
  void Text(std::string_view piece) override { text.append(piece); }

  std::string text;
  int elements = 0;
  int throw_at = 0;
};

// Notes how far the zip was read; throws Cancelled once past `stop_after` bytes.
class Progress final : public ReadProgress {
 public:
  void Reached(std::uint64_t done, std::uint64_t) override {
    furthest = std::max(furthest, done);
    if (done > stop_after) throw Cancelled("book.xlsx", "stopped");
  }
  void CheckStop() override {}

  std::uint64_t furthest = 0;
  std::uint64_t stop_after = UINT64_MAX;
};

// `size` bytes of letters that hardly compress.
std::string Letters(std::size_t size) {
  std::string letters(size, 'a');
  std::uint32_t seed = 12345;
  for (char& c : letters) {
    seed = seed * 1103515245 + 12345;
    c = static_cast<char>('a' + (seed >> 16) % 26);
  }
  return letters;
}

// A document `size` bytes long: "<a>LETTERS</a>".
std::string Document(std::size_t size) { return "<a>" + Letters(size - 7) + "</a>"; }

struct Outcome {
  std::string error;  // what reached the caller, "" for none
  TextKeeper handler;
  std::uint64_t furthest = 0;  // the furthest byte of the zip the member was read to
};

Outcome Parse(const std::vector<std::uint8_t>& zip, MemberBuffers buffers, int throw_at = 0,
              std::uint64_t stop_after = UINT64_MAX) {
  Outcome outcome;
  Progress progress;
  progress.stop_after = stop_after;
  outcome.handler.throw_at = throw_at;
  try {
    ZipArchive archive(zip, "book.xlsx", &progress);
    ParseXmlMember(archive, "x.xml", outcome.handler, buffers);
  } catch (const Error& e) {
    outcome.error = e.what();
  }
  outcome.furthest = progress.furthest;
  return outcome;
}

TEST(MemberParseTest, PartsEndingOnAndBesideABuffersEdge) {
  for (const std::size_t count : {1, 2, 4}) {
    for (const std::size_t size : {15, 16, 17, 63, 64, 65, 1024, 4097}) {
      const std::string xml = Document(size);
      const Outcome outcome = Parse(Zip({{"x.xml", xml}}), {count, 16});
      EXPECT_EQ(outcome.error, "") << count << " buffers, " << size << " bytes";
      EXPECT_EQ(outcome.handler.text, xml.substr(3, size - 7))
          << count << " buffers, " << size << " bytes";
    }
  }
}

TEST(MemberParseTest, AFailureOrAStopOnEitherSideReachesTheCaller) {
  constexpr std::size_t kSize = 4 << 20;  // inflated in 4 MB, read from about 2.5 MB of zip
  const std::vector<std::uint8_t> zip = Zip({{"x.xml", Document(kSize)}});
  // The member's deflate stream opens with a block of the reserved type 3.
  std::vector<std::uint8_t> damaged = zip;
  damaged[30 + damaged[26] + 256 * damaged[27] + damaged[28] + 256 * damaged[29]] = 0x07;
  std::vector<std::uint8_t> malformed = Zip({{"x.xml", "<a>" + Letters(kSize) + "</b>"}});
  const std::vector<std::uint8_t> cut = Zip({{"x.xml", "<a>" + Letters(kSize)}});
  const MemberBuffers buffers = {2, 16 * 1024};
  struct Row {
    const char* name;
    Outcome outcome;
    std::string error;
    std::uint64_t read_at_most;  // of the zip
  };
  const Row rows[] = {
      {"read whole", Parse(zip, buffers), "", zip.size()},
      {"the member cannot be inflated", Parse(damaged, buffers),
       "book.xlsx: the file is damaged: a part of it cannot be read (zip member x.xml: its "
       "compressed data cannot be inflated)",
       64 * 1024},
      {"the handler fails at once", Parse(zip, buffers, 1), "book.xlsx: cell A1: bad number",
       128 * 1024},
      {"the XML is malformed at its end", Parse(malformed, buffers),
       "book.xlsx: the file is damaged: a part of it is not well-formed XML (x.xml: line 1: an end "
       "tag does not match its start tag; libxml2 error 76)",
       malformed.size()},
      {"the reading is stopped", Parse(zip, buffers, 0, 256 * 1024), "book.xlsx: stopped",
       256 * 1024 + 128 * 1024},
      // The reading parser words these otherwise; the push parser, reading the
      // part again without counting it twice, words them as it always has.
      {"the part is cut short", Parse(cut, buffers),
       "book.xlsx: the file is damaged: a part of it is not well-formed XML (x.xml: line 1: more "
       "follows the end of the XML; libxml2 error 5)",
       cut.size()},
      {"a part under four bytes starts no element", Parse(Zip({{"x.xml", "<w"}}), buffers, 1),
       "book.xlsx: the file is damaged: a part of it is not well-formed XML (x.xml: line 1: more "
       "follows the end of the XML; libxml2 error 5)",
       1024},
  };
  for (const Row& row : rows) {
    EXPECT_THAT(row.outcome.error, testing::StartsWith(row.error)) << row.name;
    EXPECT_LE(row.outcome.furthest, row.read_at_most) << row.name;
  }
  // Parsed whole, the text is all there; stopped, it is cut short.
  EXPECT_EQ(rows[0].outcome.handler.text.size(), kSize - 7);
  EXPECT_LT(rows[4].outcome.handler.text.size(), kSize / 4);
}

}  // namespace
}  // namespace zerova::test
