// The .xls reader's workbook level: the container, the active sheet, whole
// documents, and the damaged files it must refuse.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "services/error.h"
#include "services/xls_books.h"
#include "support/document.h"

namespace zerova::testing {
namespace {

// A dialog sheet: listed as a worksheet, marked by its WSBOOL record's fDialog bit.
constexpr std::uint8_t kDialog = 0xFF;
constexpr std::uint8_t kVbModule = 6;

// Sheets with A1 holding their name; `types` are BOUNDSHEET types (or kDialog), `tabs`
// the WINDOW1 records' active tabs.
Bytes Sheets(const std::vector<std::uint8_t>& types, const std::vector<int>& tabs) {
  BiffBuilder b;
  b.Bof(Biff::k8);
  for (int tab : tabs) b.Window1(static_cast<std::uint16_t>(tab));
  b.Xf(0);
  for (std::size_t i = 0; i < types.size(); ++i) {
    b.Boundsheet("S" + std::to_string(i), types[i] == kDialog ? kWorksheetType : types[i]);
  }
  b.Eof();
  for (std::size_t i = 0; i < types.size(); ++i) {
    const std::uint8_t t = types[i];
    b.Bof(Biff::k8, t == kChartType ? kChartBof : t == kMacroType ? kMacroBof : kWorksheetBof);
    if (t == kDialog) b.Record(0x0081, {0x10, 0x04});  // WSBOOL ([MS-XLS] 2.4.351)
    b.Label(0, 0, "S" + std::to_string(i)).Eof();
  }
  return b.Build();
}

struct ActiveCase {
  const char* name;
  std::vector<std::uint8_t> types;
  std::vector<int> tabs;
  std::string a1;  // "" when the workbook must be refused
};

TEST(XlsWorkbookTest, ReadsTheActiveSheet) {
  const std::uint8_t w = kWorksheetType;
  const std::vector<ActiveCase> cases = {
      {"no WINDOW1", {w, w}, {}, "S0"},
      {"second active", {w, w, w}, {1}, "S1"},
      {"last active", {w, w, w}, {2}, "S2"},
      {"index out of range", {w, w}, {2}, "S0"},
      {"index far out of range", {w, w}, {0xFFFF}, "S0"},
      {"first WINDOW1 counts", {w, w}, {1, 0}, "S1"},
      {"hidden chart before it", {kChartType, w}, {1}, "S1"},
      {"active chart", {w, kChartType}, {1}, ""},
      {"active macro sheet", {w, kMacroType}, {1}, ""},
      {"active VB module", {w, kVbModule}, {1}, ""},
      {"active dialog sheet", {w, kDialog}, {1}, ""},
      {"chart first, no WINDOW1", {kChartType, w}, {}, ""},
      {"chart first, index out of range", {kChartType, w}, {7}, ""},
  };
  for (const ActiveCase& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      const auto sheet = Read(Sheets(c.types, c.tabs));
      EXPECT_EQ(TextAt(*sheet, 0, 0), c.a1);
      EXPECT_FALSE(c.a1.empty()) << "read, but must be refused";
    } catch (const ReadError& e) {
      EXPECT_TRUE(c.a1.empty()) << "refused: " << e.what();
      EXPECT_EQ(std::string(e.what()).rfind("book.xls: ", 0), 0u) << e.what();
    }
  }
}

TEST(XlsWorkbookTest, FindsTheWorkbookStreamByNameAndTheVersionByItsBof) {
  const Fill cells = [](BiffBuilder& b) { b.Label(0, 0, "caf\xE9"); };
  const auto named = [&cells](Biff version, const char* stream) {
    BiffBuilder b(version);
    b.StreamName(stream).Bof(version).Xf(0).Boundsheet("Sheet1").Eof().Bof(version, kWorksheetBof);
    cells(b);
    return b.Eof().Build();
  };
  for (const char* stream : {"Workbook", "WORKBOOK", "workbook", "Book", "BOOK"}) {
    SCOPED_TRACE(stream);
    for (Biff version : {Biff::k5, Biff::k8}) {
      try {
        EXPECT_EQ(TextAt(*Read(named(version, stream)), 0, 0), "café");
      } catch (const Error& e) {
        ADD_FAILURE() << "refused: " << e.what();
      }
    }
  }
}

TEST(XlsWorkbookTest, WritesTheWholeDocument) {
  const std::string document = DocumentOfBytes(
      OneSheet(
          [](BiffBuilder& b) {
            b.LabelSst(0, 0, 0).Label(0, 1, "Count").Label(0, 2, "When").Label(0, 4, "Lost");
            b.LabelSst(1, 0, 1).Rk(1, 1, BiffBuilder::RkInt(3)).Number(1, 2, 45351.5, 1);
            b.Formula(2, 0, FormulaCache::Text()).String(u"x\ty");
            b.BoolErr(2, 1, 0, false).Blank(2, 2);
            b.Label(3, 0, "").Label(4, 0, "after a gap").Label(4, 1, "after a gap");
          },
          [](BiffBuilder& b) { b.Xf(0).Xf(22); }, Biff::k8,
          [](BiffBuilder& b) {
            b.Sst({{u"A & B"}, {u"<\"it's\">\r\n"}}, {{1, 3, true}});
          }),
      "book.xls");
  EXPECT_EQ(document,
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Main>\r\n"
            "<node id=\"n1\" lbl=\"A &amp; B\">\r\n"
            "<value>&lt;&quot;it's&quot;&gt;&#13;&#10;</value>\r\n"
            "<value>x&#9;y</value>\r\n"
            "</node>\r\n"
            "<node id=\"n2\" lbl=\"Count\">\r\n"
            "<value>3</value>\r\n"
            "<value>False</value>\r\n"
            "</node>\r\n"
            "<node id=\"n3\" lbl=\"When\">\r\n"
            "<value>2024-02-29 12:00:00</value>\r\n"
            "</node>\r\n"
            "</Main>\r\n");
  EXPECT_TRUE(IsWellFormedXml(document));
}

// Real files get the SST's counts wrong; only the strings actually there count.
TEST(XlsWorkbookTest, AbsurdSstCountIsOnlyAHint) {
  const auto sheet = Read(OneSheet([](BiffBuilder& b) { b.LabelSst(0, 0, 1); }, nullptr, Biff::k8,
                                   [](BiffBuilder& b) {
                                     b.Sst({{u"a"}, {u"b"}}, {}, 0xFFFFFFFF);
                                   }));
  EXPECT_EQ(TextAt(*sheet, 0, 0), "b");
}

// Damage a careful reader may work around or refuse, but nothing else: each sheet
// either reads with A1 "x" or is refused naming the file.
TEST(XlsWorkbookTest, RecoverableDamageIsReadOrRefused) {
  const std::size_t offset_field = 4 + 16 + 4 + 20 + 4;  // BOF, XF, then BOUNDSHEET's offset
  using Damage = std::function<void(BiffBuilder&)>;
  const std::vector<std::pair<const char*, Damage>> cases = {
      {"BOUNDSHEET offset past the end",
       [&](BiffBuilder& b) { b.CorruptByte(offset_field + 2, 0x40); }},
      {"BOUNDSHEET offset into the globals",
       [&](BiffBuilder& b) { b.CorruptByte(offset_field, 4); }},
      {"LABEL claims more characters than it holds",
       [](BiffBuilder& b) { b.Label(1, 0, "abc").CorruptByte(b.size() - 5, 0xFF); }},
      {"MULRK ends before it starts",
       [](BiffBuilder& b) {
         b.MulRk(1, 3, {{0, BiffBuilder::RkInt(1)}}).CorruptByte(b.size() - 2, 0);
       }},
      {"MULBLANK ends before it starts",
       [](BiffBuilder& b) { b.MulBlank(1, 3, 4).CorruptByte(b.size() - 2, 0); }},
      {"STRING without a FORMULA", [](BiffBuilder& b) { b.String(u"stray"); }},
      {"CONTINUE without a record to continue",
       [](BiffBuilder& b) {
         b.Record(0x003C, {1, 2, 3});
       }},
      {"row and column at their limits",
       [](BiffBuilder& b) { b.Number(0xFFFF, 0xFF, 1).Number(0xFFFF, 0xFFFF, 2); }},
  };
  for (const auto& [name, damage] : cases) {
    SCOPED_TRACE(name);
    BiffBuilder b;
    b.Bof(Biff::k8).Xf(0).Boundsheet("Sheet1").Eof().Bof(Biff::k8, kWorksheetBof);
    b.Label(0, 0, "x");
    damage(b);
    b.Eof();
    try {
      EXPECT_EQ(TextAt(*Read(b.Build()), 0, 0), "x");
    } catch (const ReadError& e) {
      EXPECT_EQ(std::string(e.what()).rfind("book.xls: ", 0), 0u) << e.what();
    }
  }
}

// Each damaged or unsupported workbook is refused with a message naming the file.
struct Refusal {
  const char* name;
  Bytes (*bytes)();
};

Bytes LabelSheet(const Fill& globals = nullptr, Biff version = Biff::k8) {
  return OneSheet([](BiffBuilder& b) { b.Label(0, 0, "x"); }, globals, version);
}

const Refusal kRefusals[] = {
    {"NoWorkbookStreamIsRefused",
     [] { return BiffBuilder().StreamName("Data").Bof(Biff::k8).Eof().Build(); }},
    {"EmptyWorkbookStreamIsRefused", [] { return BiffBuilder().StreamName("Workbook").Build(); }},
    {"Biff2IsRefused", [] { return LabelSheet([](BiffBuilder& b) { b.Xf(0); }, Biff::k2); }},
    {"Biff3IsRefused", [] { return LabelSheet([](BiffBuilder& b) { b.Xf(0); }, Biff::k3); }},
    {"Biff4IsRefused", [] { return LabelSheet([](BiffBuilder& b) { b.Xf(0); }, Biff::k4); }},
    {"StreamNotStartingWithBofIsRefused",
     [] { return BiffBuilder().StreamName("Workbook").Xf(0).Eof().Build(); }},
    {"FilePassIsRefused", [] { return LabelSheet([](BiffBuilder& b) { b.FilePass().Xf(0); }); }},
    {"Biff5FilePassIsRefused",
     [] { return LabelSheet([](BiffBuilder& b) { b.FilePass().Xf(0); }, Biff::k5); }},
    {"NoBoundsheetIsRefused",
     [] {
       return BiffBuilder().Bof(Biff::k8).Xf(0).Eof().Bof(Biff::k8, kWorksheetBof).Eof().Build();
     }},
    {"TruncatedRecordIsRefused",
     [] {
       BiffBuilder b;
       b.Bof(Biff::k8).Xf(0).Boundsheet("Sheet1").Eof().Bof(Biff::k8, kWorksheetBof);
       b.Number(0, 0, 1.5);
       return b.Truncate(b.size() - 3).Build();
     }},
    {"RecordLengthPastEndIsRefused",
     [] {
       BiffBuilder b;
       b.Bof(Biff::k8).Xf(0).Boundsheet("Sheet1").Eof().Bof(Biff::k8, kWorksheetBof);
       const std::size_t at = b.size();
       b.Label(0, 0, "x").Eof();
       return b.CorruptByte(at + 3, 0x7F).Build();  // the LABEL claims 32 KiB
     }},
    {"TruncatedSstDoesNotReadPastEnd",
     [] {
       // The string claims 200 characters; the SST holds 3 and no CONTINUE follows.
       return OneSheet([](BiffBuilder& b) { b.LabelSst(0, 0, 0); }, nullptr, Biff::k8,
                       [](BiffBuilder& b) {
                         b.Record(0x00FC, {1, 0, 0, 0, 1, 0, 0, 0, 200, 0, 0, 'a', 'b', 'c'});
                       });
     }},
    {"SstIndexPastTheStringsIsRefused",
     [] {
       return OneSheet([](BiffBuilder& b) { b.LabelSst(0, 0, 2); }, nullptr, Biff::k8,
                       [](BiffBuilder& b) {
                         b.Sst({{u"a"}, {u"b"}}, {}, 1000);
                       });
     }},
    {"LabelSstWithoutSstIsRefused",
     [] { return OneSheet([](BiffBuilder& b) { b.LabelSst(0, 0, 0); }); }},
    {"XfIndexPastTheXfsIsRefused",
     [] { return OneSheet([](BiffBuilder& b) { b.Number(0, 0, 1, 5); }); }},
    {"ErrorCodeOutsideTheSevenIsRefused",
     [] { return OneSheet([](BiffBuilder& b) { b.BoolErr(0, 0, 0x08, true); }); }},
    {"FormulaErrorCodeOutsideTheSevenIsRefused",
     [] { return OneSheet([](BiffBuilder& b) { b.Formula(0, 0, FormulaCache::Error(0x30)); }); }},
};

class XlsRefusalTest : public ::testing::TestWithParam<Refusal> {};

TEST_P(XlsRefusalTest, RefusesNamingTheFile) {
  try {
    Read(GetParam().bytes());
    ADD_FAILURE() << "read, but must be refused";
  } catch (const ReadError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("book.xls: ", 0), 0u) << e.what();
  }
}

INSTANTIATE_TEST_SUITE_P(Xls, XlsRefusalTest, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zerova::testing
