// SaxParser on documents pushed whole and byte by byte: the events a handler sees,
// the lock-down (no document type, no entity but the predefined ones), the limits
// it keeps, and the one-line refusal of malformed XML. SniffXmlRoot on document
// openings. ParseXmlMember: a zip member inflated on one thread and parsed on the
// other, through a few small buffers: parts that end on and beside a buffer's edge,
// and a failure or a stop on either side, which must reach the caller with both
// threads ended and the inflating stopped early.
#include "formats/xml/sax_parser.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "formats/xml/member_parse.h"
#include "formats/xml/xml_root.h"
#include "services/error.h"
#include "support/zip_builder.h"

namespace zerova::test {
namespace {

// Writes the events as XML again: "<a{ns}@x=1>text</a>", with the depth of each
// start after the name ("<a:0>"), and runs of text joined.
class Recorder final : public SaxHandler {
 public:
  void StartElement(const SaxElement& element) override {
    if (--throw_at_ == 0) throw ReadError("book.xlsx", "the handler stops here");
    events += "<" + std::string(element.local_name()) + ":" + std::to_string(element.depth());
    if (!element.ns().empty()) events += "{" + std::string(element.ns().text()) + "}";
    element.ForEachAttribute([&](const SaxAttribute& a) {
      const std::string ns(a.ns().text());
      events += " " + (ns.empty() ? "" : "{" + ns + "}") + std::string(a.name().text()) + "=" +
                std::string(a.value());
    });
    events += ">";
  }
  void EndElement(int depth) override { events += "</" + std::to_string(depth) + ">"; }
  void Text(std::string_view text) override { events.append(text); }

  std::string events;
  int throw_at_ = 0;  // the start element whose call throws (from 1); 0: none
};

// Gives a document in pieces of a few bytes.
class Pieces final : public SaxSource {
 public:
  Pieces(const std::string& xml, std::size_t piece) : xml_(xml), piece_(piece) {}
  std::span<const char> Next() override {
    const std::size_t at = at_;
    at_ = std::min(at_ + piece_, xml_.size());
    return {xml_.data() + at, at_ - at};
  }

 private:
  const std::string& xml_;
  std::size_t piece_;
  std::size_t at_ = 0;
};

// The events of `xml` pushed in pieces of `piece` bytes (0: whole), or pulled
// in them, then "|refused: MESSAGE" when the parser throws, or "|malformed"
// when the pulling parser finds it so.
std::string Parse(const std::string& xml, std::size_t piece = 0, int throw_at = 0,
                  bool pull = false) {
  Recorder recorder;
  recorder.throw_at_ = throw_at;
  if (piece == 0) piece = xml.size() + 1;
  try {
    if (pull) {
      Pieces pieces(xml, piece);
      SaxParser parser(recorder, "book.xlsx", "xl/part.xml", pieces);
      if (!parser.Pull()) return recorder.events + "|malformed";
      return recorder.events;
    }
    SaxParser parser(recorder, "book.xlsx", "xl/part.xml");
    for (std::size_t at = 0; at < xml.size(); at += piece) {
      parser.Push({xml.data() + at, std::min(piece, xml.size() - at)});
    }
    parser.Finish();
  } catch (const Error& e) {
    return recorder.events + "|refused: " + e.what();
  }
  return recorder.events;
}

// `levels` elements <a>, each inside the one before.
std::string Nested(int levels) {
  std::string xml;
  for (int i = 0; i < levels; ++i) xml += "<a>";
  for (int i = 0; i < levels; ++i) xml += "</a>";
  return xml;
}

// The starts of Nested's elements, down to depth `levels` - 1, and, when `ends`, their ends.
std::string NestedEvents(int levels, bool ends) {
  std::string events;
  for (int i = 0; i < levels; ++i) events += "<a:" + std::to_string(i) + ">";
  for (int i = levels - 1; ends && i >= 0; --i) events += "</" + std::to_string(i) + ">";
  return events;
}

TEST(SaxParserTest, EventsAndTheLockDown) {
  const std::string damaged =
      "|refused: book.xlsx: the file is damaged: a part of it is not well-formed XML "
      "(xl/part.xml: ";
  const std::string too_deep =
      "|refused: book.xlsx: the file is damaged: a part of it is nested deeper than 257 levels "
      "(xl/part.xml: ";
  const std::string doctype =
      "|refused: book.xlsx: xl/part.xml: XML with a document type "
      "declaration is not allowed";
  struct Row {
    const char* name;
    std::string xml;
    std::string events;
    bool in_pieces = true;  // the same when pushed in pieces of 1 and 7 bytes
  };
  const Row rows[] = {
      {"namespaces, attributes, depth",
       "<?xml version=\"1.0\"?>\n<w xmlns=\"urn:m\" xmlns:r=\"urn:r\"><c r=\"A1\" r:id=\"7\"/>"
       "<c>1</c></w>",
       "<w:0{urn:m}><c:1{urn:m} r=A1 {urn:r}id=7></1><c:1{urn:m}>1</1></0>"},
      {"predefined entities and character references, in text and in attributes",
       "<a x=\"&amp;&#38;&lt;&#60;&quot;&#x263A;\">&amp;&#38;&lt;&gt;&#x263A;&apos;</a>",
       "<a:0 x=&&<<\"\u263A>&&<>\u263A'</0>"},
      {"CDATA is text", "<a>1<![CDATA[<b>&amp;]]>2</a>", "<a:0>1<b>&amp;2</0>"},
      {"white space is text", "<a> <b/>\n</a>", "<a:0> <b:1></1>\n</0>"},
      {"comments and processing instructions are left out", "<a><!--c--><?pi x?>1</a>",
       "<a:0>1</0>"},
      {"an internal subset is refused before any entity in it is read",
       "<!DOCTYPE a [<!ENTITY e \"lol\">]><a>&e;</a>", doctype},
      {"an external document type is refused, never loaded",
       "<!DOCTYPE a SYSTEM \"http://localhost/a.dtd\"><a/>", doctype},
      {"an undeclared entity is malformed", "<a>1&e;</a>",
       "<a:0>1" + damaged + "line 1: an unknown or malformed reference (&...;); libxml2 error 26)"},
      {"a mismatched tag stops at once", "<a>\n<b></a><c/>",
       "<a:0>\n<b:1>" + damaged +
           "line 2: an end tag does not match its start tag; libxml2 error 76)"},
      {"a cut document fails at its end", "<a><b>1</b>",
       "<a:0><b:1>1</1>" + damaged + "line 1: more follows the end of the XML; libxml2 error 5)"},
      {"an empty document", "",
       damaged + "line 1: more follows the end of the XML; libxml2 error 5)"},
      {"an undeclared prefix refuses the document at its end", "<a><p:b/>2</a>",
       "<a:0><b:1></1>2</0>" + damaged +
           "line 1: a namespace is undeclared or malformed; libxml2 error 201)"},
      {"bytes that are not UTF-8 are reported in our words", "<a>\xFF</a>",
       "<a:0>" + damaged + "line 1: a character that XML does not allow; libxml2 error 9)", false},
      {"257 levels of elements are read", Nested(257), NestedEvents(257, true)},
      {"258 are refused", Nested(258),
       NestedEvents(257, false) + too_deep + "line 1: elements are nested too deeply)"},
  };
  for (const Row& row : rows) {
    for (const std::size_t piece : {0, 1, 7}) {
      if (piece != 0 && !row.in_pieces) continue;
      EXPECT_EQ(Parse(row.xml, piece), row.events) << row.name << ", pieces of " << piece;
      // Pulled, a well-formed document gives the same events; a malformed one
      // is found so, its words left to the push parser (member_parse.h).
      const std::string pulled = Parse(row.xml, piece, 0, true);
      if (row.events.find("|refused: book.xlsx: the file is damaged") == std::string::npos) {
        EXPECT_EQ(pulled, row.events) << row.name << ", pulled in pieces of " << piece;
      } else {
        EXPECT_THAT(pulled, testing::EndsWith("|malformed")) << row.name << ", pulled";
      }
    }
  }
}

TEST(SaxParserTest, TenMillionBytesOfTextAndNoMore) {
  const std::string text(10'000'000, 'x');
  const std::string read = Parse("<a>" + text + "</a>", 256 * 1024);
  EXPECT_TRUE(read == "<a:0>" + text + "</0>")
      << read.size() << " " << read.substr(read.size() - 200);
  // The program's limit, which a well-formed file may pass: no damage.
  for (const bool pulled : {false, true}) {
    EXPECT_THAT(Parse("<a>" + text + "y</a>", 256 * 1024, 0, pulled),
                testing::EndsWith("|refused: book.xlsx: a cell's text is longer than this "
                                  "program's limit of 10,000,000 bytes (xl/part.xml, line 1)"));
  }
}

// The names a handler finds before the parse are the ones the parser hands on
// for elements, attributes and namespaces alike, told apart by their address.
TEST(SaxParserTest, NamesFoundBeforehandAreTheDocumentsOwn) {
  class Matcher final : public SaxHandler {
   public:
    void Prepare(const SaxNames& names) override {
      c_ = names.Find("c");
      r_ = names.Find("r");
      m_ = names.Find("urn:m");
    }
    void StartElement(const SaxElement& element) override {
      seen += element.name() == c_ ? "c" : "-";
      seen += element.ns() == m_ ? "m" : "-";
      element.ForEachAttribute([&](const SaxAttribute& a) { seen += a.name() == r_ ? "r" : "-"; });
      seen += " ";
    }
    void EndElement(int) override {}
    void Text(std::string_view) override {}

    std::string seen;

   private:
    SaxName c_, r_, m_;
  };
  Matcher matcher;
  SaxParser parser(matcher, "book.xlsx", "xl/part.xml");
  parser.Push(
      std::string_view("<w xmlns=\"urn:m\" xmlns:o=\"urn:o\"><c r=\"1\" o:r=\"2\" "
                       "s=\"3\"/><o:c/><cc rr=\"4\"/></w>"));
  parser.Finish();
  EXPECT_EQ(matcher.seen, "-m cmrr- c- -m- ");
}

TEST(SaxParserTest, WhatTheHandlerThrowsStopsTheParser) {
  EXPECT_EQ(Parse("<a><b/><c/><d/></a>", 0, 3),
            "<a:0><b:1></1>|refused: book.xlsx: the handler stops here");
  // The parser takes no more once stopped.
  Recorder recorder;
  recorder.throw_at_ = 1;
  SaxParser parser(recorder, "book.xlsx", "xl/part.xml");
  EXPECT_THROW(parser.Push(std::string_view("<a><b/>")), ReadError);
  EXPECT_THROW(parser.Push(std::string_view("<c/></a>")), ReadError);
  EXPECT_EQ(recorder.events, "");
}

TEST(XmlRootTest, FindsTheRootInTheFirstBytes) {
  const std::string ss = "urn:schemas-microsoft-com:office:spreadsheet";
  struct Row {
    const char* name;
    std::string prefix;
    std::string root;  // "{namespace}local name", or "" when none is found
  };
  const std::string workbook = "<Workbook xmlns=\"" + ss + "\" xmlns:ss=\"" + ss + "\">";
  std::string utf16 = "\xFF\xFE";
  for (char c : std::string("<?xml version=\"1.0\" encoding=\"UTF-16\"?><Book/>"))
    utf16 += {c, '\0'};
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
