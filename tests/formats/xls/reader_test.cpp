// The .xls reader on workbooks built here, of every BIFF version: what the fixtures,
// their BIFF2-4 copies and the corpus do not reach (RK encodings, code pages, SST
// splits, the active sheet's kind, bare record streams, damaged records), when the
// caller's bytes are let go, and the decryption pass over an encrypted stream
// (which records and bytes are decrypted and which stay clear, and FILEPASS records
// that are refused; real RC4 and RC4 CryptoAPI workbooks are checked whole by the
// fixtures, LibreOffice's, and the corpus, Excel's).
#include "formats/xls/reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "formats/crypto/cipher.h"
#include "formats/crypto/digest.h"
#include "formats/xls/record_decryption.h"
#include "formats/xls/xor_obfuscation.h"
#include "services/error.h"
#include "support/biff_builder.h"
#include "support/document.h"
#include "support/office_book.h"

namespace zerova::test {
namespace {

using B = BiffBuilder;
using F = FormulaCache;
using Fill = std::function<void(B&)>;

// A workbook of one worksheet: BOF, `globals` (by default one General XF), the
// BOUNDSHEET, `after_sheets` (where the SST goes), EOF; then the sheet holding `cells`.
Bytes OneSheet(const Fill& cells, const Fill& globals = nullptr, Biff version = Biff::k8,
               const Fill& after_sheets = nullptr) {
  B b(version);
  b.Bof(version);
  globals ? globals(b) : void(b.Xf(0));
  b.Boundsheet("Sheet1");
  if (after_sheets) after_sheets(b);
  b.Eof().Bof(version, kWorksheetBof);
  cells(b);
  return b.Eof().Build();
}

// Row 1 holding `text` as a LABEL, an RSTRING and a formula's BIFF5 STRING.
Fill ThreeTexts(const std::string& text) {
  return [text](B& b) {
    b.Label(0, 0, text).RString(0, 1, text, 1).Formula(0, 2, F::Text());
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    b.String(std::u16string(bytes, bytes + text.size()));  // one unit per byte
  };
}

// Sheets of BOUNDSHEET `types` with A1 holding their name; `tabs` are WINDOW1's
// active tabs.
Bytes Sheets(const std::vector<std::uint8_t>& types, const std::vector<int>& tabs) {
  B b;
  b.Bof(Biff::k8);
  for (int tab : tabs) b.Window1(tab);
  b.Xf(0);
  for (std::size_t i = 0; i < types.size(); ++i) b.Boundsheet("S" + std::to_string(i), types[i]);
  b.Eof();
  for (std::size_t i = 0; i < types.size(); ++i) {
    b.Bof(Biff::k8, types[i] == kChartType   ? kChartBof
                    : types[i] == kMacroType ? kMacroBof
                                             : kWorksheetBof);
    b.Label(0, 0, "S" + std::to_string(i)).Eof();
  }
  return b.Build();
}

TEST(XlsReaderTest, RecordsCodePagesSheetsAndDamage) {
  const std::uint8_t w = kWorksheetType, chart = kChartType, macro = kMacroType;
  const Fill shift_jis_date = [](B& b) {  // 0x83 0x5C is one character, not an escape
    b.Codepage(932).Format(164, "\x83\x5C\"\"d");
    b.Format(165, "\x83\x5C\"d\"0").Xf(0).Xf(164).Xf(165);
  };
  const Fill rk_and_mulrk = [](B& b) {
    const std::uint32_t rk = B::RkInt(45000);
    b.Rk(0, 0, rk, 1).MulRk(0, 1, {{1, rk}, {2, rk}});
  };
  Check({
      {"cells: RK forms, broken surrogates, formula caches, later records win", OneSheet([](B& b) {
         b.Label(0, 0, u"\U0001F600a\xD800z\xDC00").Label(0, 1, u"\xD83D");
         b.Number(0, 2, std::numeric_limits<double>::quiet_NaN()).Rk(0, 3, B::RkInt(-536870912));
         b.Rk(0, 4, B::RkInt(1234, true)).Rk(0, 5, B::RkDouble(150, true));
         b.MulRk(1, 0, {{0, B::RkInt(1)}, {0, B::RkDouble(-2.5)}}).MulBlank(1, 2, 8);
         b.Formula(2, 0, F::Text()).String(u"").Formula(2, 1, F::EmptyText());
         b.Formula(2, 2, F::Boolean(true)).Formula(2, 3, F::Error(0x2A)).BoolErr(2, 4, 0x17, true);
         b.Label(3, 0, "first").Number(3, 0, 1.5).Label(3, 1, "x").Blank(3, 1);
       }),
       "A1=\U0001F600a\uFFFDz\uFFFD|B1=\uFFFD|C1=#NUM!|D1=-536870912|E1=12.34|F1=1.5|"
       "A2=1|B2=-2.5|C3=True|D3=#N/A|E3=#REF!|A4=1.5"},
      {"BIFF5 Shift JIS with a trail byte 0x5C, then a lone lead byte",
       OneSheet(
           ThreeTexts("\x83\x5C\x95\x5C\x61\x83"), [](B& b) { b.Codepage(932).Xf(0); }, Biff::k5),
       "A1=ソ表a\uFFFD|B1=ソ表a\uFFFD|C1=ソ表a\uFFFD"},
      {"BIFF5 format codes in Shift JIS: a date by RK and MULRK, not by the quote",
       OneSheet(rk_and_mulrk, shift_jis_date, Biff::k5), "A1=2023-03-15|B1=2023-03-15|C1=45000"},
      {"SST: 8-bit characters continued 16-bit, and back",
       OneSheet([](B& b) { b.LabelSst(0, 0, 0).LabelSst(0, 1, 1); }, nullptr, Biff::k8,
                [](B& b) {
                  b.Sst({{u"abcЖЗ"}, {u"Жbcdef", true}}, {{0, 3, true}, {1, 2, false}});
                }),
       "A1=abcЖЗ|B1=Жbcdef"},
      {"a hidden chart before the active sheet", Sheets({chart, w}, {1}), "A1=S1"},
      {"active chart", Sheets({w, chart}, {1}),
       "refused: the active sheet \"S1\" is a chart, not a worksheet"},
      {"active macro sheet", Sheets({macro, w}, {0}),
       "refused: the active sheet \"S0\" is a macro sheet, not a worksheet"},
      {"a chart first and no WINDOW1", Sheets({chart, w}, {}), "refused: \"S0\" is a chart"},
  });
}

// Each kind of damage is refused with the plain fact first, then the record.
TEST(XlsReaderTest, DamageIsRefusedInPlainWords) {
  const std::string cut = "damaged: a record is cut short (truncated record ";
  const std::string malformed = "damaged: a record is malformed (";
  B truncated;  // a NUMBER cut short by the end of the stream
  truncated.Bof(Biff::k8).Xf(0).Boundsheet("S").Eof().Bof(Biff::k8, kWorksheetBof).Number(0, 0, 1);
  B no_sheets;
  no_sheets.Bof(Biff::k8).Xf(0).Eof();
  B one_missing;  // the active second sheet has no substream
  one_missing.Bof(Biff::k8).Window1(1).Xf(0).Boundsheet("S0").Boundsheet("S1").Eof();
  one_missing.Bof(Biff::k8, kWorksheetBof).Eof();
  B no_bof;
  no_bof.Xf(0).Bof(Biff::k8).Eof();
  const auto one_string = [](B& b) { b.Sst({{u"a"}}); };
  Check({
      {"record cut short by the end", truncated.DropLast(3).Build(),
       cut + "0x0203 (NUMBER) at offset "},
      {"LABEL claiming 32 KiB", OneSheet([](B& b) { b.Label(0, 0, "x").CorruptByte(-11, 0x7F); }),
       cut + "0x0204 (LABEL) at offset "},
      {"SST of 200 characters holding 3",
       OneSheet([](B& b) { b.LabelSst(0, 0, 0); }, nullptr, Biff::k8,
                [](B& b) {
                  b.Record(0x00FC, {1, 0, 0, 0, 1, 0, 0, 0, 200, 0, 0, 'a', 'b', 'c'});
                }),
       cut + "0x00FC (SST) at offset "},
      {"an XF past the last", OneSheet([](B& b) { b.Number(0, 0, 1, 5); }),
       "damaged: a cell refers to a cell format that does not exist (cell XF index 5 out of "
       "range, 1 XF records)"},
      {"a shared string past the last",
       OneSheet([](B& b) { b.LabelSst(0, 0, 3); }, nullptr, Biff::k8, one_string),
       "damaged: a cell refers to a shared string that does not exist (SST index 3 out of "
       "range, 1 strings)"},
      {"MULRK of more columns than it holds", OneSheet([](B& b) {
         b.Record(0x00BD, {0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 5, 0});
       }),
       malformed + "0x00BD (MULRK): its columns 0 to 5 do not fit its body of 12 bytes)"},
      {"an error code of no error", OneSheet([](B& b) { b.BoolErr(0, 0, 0x99, true); }),
       malformed + "0x0205 (BOOLERR): unknown error code 0x99)"},
      {"a formula result of no type", OneSheet([](B& b) {
         b.Formula(0, 0, {7, 0, 0});
       }),
       malformed + "0x0006 (FORMULA): unknown cached result type 7)"},
      {"no BOUNDSHEET", no_sheets.Build(),
       "damaged: the workbook holds no sheets (no BOUNDSHEET records)"},
      {"the active sheet's substream missing", one_missing.Build(),
       "damaged: sheet \"S1\" is missing (no substream of its own after the workbook globals)"},
      {"an empty workbook stream", B().Build(),
       "damaged: the workbook is empty (empty workbook stream)"},
      {"no BOF first", no_bof.Build(),
       "damaged: the workbook does not begin as an Excel workbook does (no BOF record at the "
       "start of the workbook stream)"},
  });
}

// The caller's bytes are let go only once the reader holds a copy of the workbook
// stream, and never read after: the test wipes them as it lets them go.
TEST(XlsReaderTest, TheFileIsLetGoOnlyOnceItsStreamIsCopied) {
  B book(Biff::k8);
  book.Bof(Biff::k8).Xf(0).Boundsheet("Sheet1").Eof().Bof(Biff::k8, kWorksheetBof);
  for (int row = 0; row < 1000; ++row) book.Number(row, 0, row + 0.5);
  book.Eof();
  const std::string sheet = DocumentOfBytes(book.BuildBare(), "book.xls");
  const std::string encrypted = std::string(ZEROVA_TEST_DATA) + "/encrypted-xls-default/";
  const Bytes expected = ReadFileBytes(encrypted + "expected.xml");
  const struct {
    const char* name;
    Bytes file;
    bool let_go;
    std::string document;
  } cases[] = {
      {"bare stream", book.BuildBare(), false, sheet},
      {"stream in order", book.Build(), false, sheet},
      {"stream in pieces", book.Build(true), true, sheet},
      {"encrypted, decrypted in a copy", ReadFileBytes(encrypted + "input.xls"), true,
       std::string(expected.begin(), expected.end())},
  };
  for (const auto& c : cases) {
    Bytes file = c.file;
    int let_go = 0;
    const auto book = OpenXls(WorkbookSource::View(file, "book.xls", nullptr, nullptr, [&] {
      ++let_go;
      std::fill(file.begin(), file.end(), 0);
    }));
    const std::string document = DocumentOf(book->ReadSheet(book->ActiveSheet()));
    EXPECT_EQ(let_go, c.let_go ? 1 : 0) << c.name;
    EXPECT_EQ(document, c.document) << c.name;
  }
}

// A bare worksheet file of `version`: BOF, `formats` (by default one General XF),
// the cells, EOF; written by a builder of `records` version (the BOF's by default).
Bytes OldSheet(Biff version, const Fill& cells, const Fill& formats = nullptr,
               Biff records = Biff::k8) {
  B b(records == Biff::k8 ? version : records);
  b.Bof(version, kWorksheetBof);
  formats ? formats(b) : void(b.Xf(0));
  cells(b);
  return b.Eof().BuildBare();
}

// Formats numbered in order: 0 General, 1 "0.00", 2 a date; XF 1 shows the date,
// XF 2 "0.00".
void ThreeFormats(B& b) {
  b.Format(0, "General").Format(0, "0.00").Format(99, "d/m/yy").Xf(0).Xf(2).Xf(1);
}

// A BIFF4 workbook of worksheets S0, S1 (A1 their name), WINDOW1 naming `active`.
Bytes Biff4Workbook(int active, std::uint16_t second = kWorksheetBof) {
  B b(Biff::k4);
  b.Bof(Biff::k4, kBiff4WorkbookBof).Codepage(1252).Window1(active);
  b.Boundsheet("S0").Boundsheet("S1").Eof();
  for (int i = 0; i < 2; ++i) {
    b.Record(0x008F, {0, 0, 0, 0, 2, 'S', static_cast<std::uint8_t>('0' + i)});  // SHEETHDR
    ThreeFormats(b.Bof(Biff::k4, i == 0 ? kWorksheetBof : second));
    b.Label(0, 0, "S" + std::to_string(i)).Number(0, 1, 45000, 1).Eof();
  }
  return b.BuildBare();
}

// `stream` with its first record, a BOF, made BIFF5/8's BOF record of `size` bytes
// that names version 0, as some Excel 2.x-era writers leave it; its type is kept.
Bytes UnnamedBof(const Bytes& stream, std::uint8_t size) {
  const std::size_t length = stream.at(2) | stream.at(3) << 8;
  Bytes out = {0x09, 0x08, size, 0, 0, 0, stream.at(6), stream.at(7)};
  out.resize(4 + size, 0);
  out.insert(out.end(), stream.begin() + 4 + static_cast<std::ptrdiff_t>(length), stream.end());
  return out;
}

// A workbook of `version` whose one sheet holds `text` in A1.
Bytes OneLabel(Biff version, const std::u16string& text) {
  B b(version);
  b.Bof(version).Xf(0).Boundsheet("S").Eof().Bof(version, kWorksheetBof).Label(0, 0, text);
  return b.Eof().BuildBare();
}

// Excel 2.x-4.x's cells, formats and workbooks, and bare streams. A BOF of BIFF5's
// and BIFF8's id that names no version: its size tells BIFF8 (16 bytes) and BIFF5
// (8); a shorter one is Excel 2.x-4.x's, whose records tell which, and whose cells
// are read in BIFF2's records as well as the later versions'.
TEST(XlsOldVersionsTest, CellsFormatsWorkbooksBareStreamsAndUnnamedVersions) {
  const auto number = [](int xf) { return [xf](B& b) { b.Number(0, 0, 45000, xf); }; };
  const auto cells = [](B& b) {
    b.Record(0x0002, {0, 0, 0, 0, 0, 0, 0, 7, 0}).Label(0, 1, "b");  // BIFF2's INTEGER, then LABEL
  };
  Bytes biff3_bof21 = OldSheet(Biff::k3, [](B& b) { b.Label(0, 0, "x"); });
  biff3_bof21.at(2) = 21;
  const std::string not_ours = std::string("refused: ") + kNotOurs;
  Check({
      {"BIFF3 records in a BIFF2 file",
       OldSheet(
           Biff::k2, [](B& b) { b.Rk(0, 0, B::RkInt(7)).Label(0, 1, "b"); }, nullptr, Biff::k3),
       "A1=7|B1=b"},
      {"BIFF2 INTEGER cut short", OldSheet(Biff::k2, [](B& b) { b.Record(0x0002, Bytes(8, 0)); }),
       "damaged: a record is cut short (truncated record 0x0002 (INTEGER) at offset "},
      {"BIFF2: the XF's format, not the cell's own", OldSheet(Biff::k2, number(2), ThreeFormats),
       "A1=45000"},
      {"BIFF2 without XF records: the cell's own format",
       OldSheet(Biff::k2, number(2),
                [](B& b) { b.Format(0, "General").Format(0, "0.00").Format(0, "d/m/y"); }),
       "A1=2023-03-15"},
      {"BIFF4 workbook: the active tab", Biff4Workbook(1), "A1=S1|B1=2023-03-15"},
      {"BIFF4 workbook: active chart", Biff4Workbook(1, kChartBof),
       "refused: the sheet \"S1\" is a chart, not a worksheet"},
      {"BIFF4 with FILEPASS: Excel 2.x-4.x encryption is not read",
       OldSheet(
           Biff::k4, [](B&) {},
           [](B& b) {
             b.Record(0x002F, {0x4A, 0x51, 0x12, 0x34}).Xf(0);
           }),
       "refused: book.xls: the workbook is encrypted with a method this program does not read"},
      {"bare stream, BOF of 21 bytes", biff3_bof21, not_ours},
      {"bare BIFF5 worksheet without globals",
       B(Biff::k5).Bof(Biff::k5, kWorksheetBof).Eof().BuildBare(),
       "damaged: the workbook does not begin as an Excel workbook does (the first BOF record "
       "opens no workbook globals)"},
      {"BIFF8 by its 16 bytes", UnnamedBof(OneLabel(Biff::k8, u"Жx"), 16), "A1=Жx"},
      {"BIFF5 by its 8 bytes", UnnamedBof(OneLabel(Biff::k5, u"x"), 8), "A1=x"},
      // biff-unnamed-version/input*.xls show BIFF2's cells after no XF record and after BIFF4's.
      {"6 bytes, then BIFF3's XF: BIFF3's formats, and BIFF2's cells still read",
       UnnamedBof(OldSheet(Biff::k3, cells), 6), "A1=7|B1=b"},
      {"6 bytes, then a BIFF4 workbook's globals", UnnamedBof(Biff4Workbook(1), 6),
       "A1=S1|B1=2023-03-15"},
      {"6 bytes, then a record longer than the stream: looked past without reading past",
       Bytes{0x09, 0x08, 6, 0, 0, 0, 0x10, 0, 0, 0, 0x7F, 0, 0xF0, 0xFF, 2, 0}, "damaged: "},
  });
}

struct Stream {
  Stream& Record(std::uint16_t id, Bytes body) {
    records.push_back({bytes.size(), body.size()});
    for (std::uint16_t v : {id, static_cast<std::uint16_t>(body.size())})
      bytes.insert(bytes.end(), {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)});
    bytes.insert(bytes.end(), body.begin(), body.end());
    return *this;
  }
  Bytes bytes;
  std::vector<std::pair<std::size_t, std::size_t>> records;  // header offset, body size
};

const Bytes kBof8 = {0x00, 0x06, 0x05, 0x00, 1, 2, 3, 4};
// XOR obfuscation, with the key and verifier Excel stores for "abc" (Apache POI's
// xor-encryption-abc.xls): the stream decrypts only when both are derived right.
const Bytes kXorAbc = {0, 0, 0x4A, 0x51, 0x1A, 0xCC};

// Obfuscates `body_size` bytes from `from` as Excel does for "abc", the inverse of
// XorDecrypt: rotate left by 5, then XOR the array entry.
void Obfuscate(Bytes& bytes, std::size_t body, std::size_t size, std::size_t from) {
  const auto array = XorArray(ByteView(reinterpret_cast<const std::uint8_t*>("abc"), 3));
  for (std::size_t i = from; i < size; ++i) {
    std::uint8_t& b = bytes[body + i];
    b = static_cast<std::uint8_t>(((b << 5) | (b >> 3)) ^ array[(body + size + i) % 16]);
  }
}

TEST(RecordDecryptionTest, BodiesAreDecryptedAndWhatExcelLeavesClearStaysClear) {
  Stream plain;
  plain.Record(0x0809, kBof8)
      .Record(0x002F, kXorAbc)
      .Record(0x00E1, {0xB0, 0x04})                         // INTERFACEHDR
      .Record(0x0085, {0x10, 0x20, 0, 0, 0, 0, 1, 0, 'S'})  // BOUNDSHEET
      .Record(0x0204, Bytes(40, 'x'))                       // LABEL
      .Record(0x003C, {'y', 'z'})                           // CONTINUE
      .Record(0x000A, {})
      .Record(0x0809, kBof8)          // a sheet's BOF
      .Record(0x0203, Bytes(14, 7));  // NUMBER
  Stream encrypted = plain;
  for (std::size_t i : {4, 5, 8})
    Obfuscate(encrypted.bytes, plain.records[i].first + 4, plain.records[i].second, 0);
  Obfuscate(encrypted.bytes, plain.records[3].first + 4, plain.records[3].second, 4);
  GivenPasswords abc({"abc"});
  EXPECT_TRUE(DecryptWorkbookStream(encrypted.bytes, "book.xls", &abc));
  EXPECT_EQ(encrypted.bytes, plain.bytes);
}

// An RC4 CryptoAPI FILEPASS (version 2.2) naming `algorithm`, `hash` (0: left to
// the default) and `key_bits`: flags and the header's size, its 32 bytes, then the
// salt and the encrypted verifier (`secret`'s first 32 bytes), the size of the
// verifier's hash and that hash, encrypted (its last 20).
Bytes CryptoApiFilepass(std::uint32_t algorithm, std::uint32_t hash, std::uint32_t key_bits = 128,
                        Bytes secret = Bytes(52, 0xA5)) {
  Bytes body = {1, 0, 2, 0, 2, 0};
  for (const std::uint32_t field : {0u, 32u, 0u, 0u, algorithm, hash, key_bits, 0u, 0u, 0u, 16u}) {
    for (int i = 0; i < 4; ++i) body.push_back(static_cast<std::uint8_t>(field >> (8 * i)));
  }
  body.insert(body.end(), secret.begin(), secret.begin() + 32);
  body.insert(body.end(), {20, 0, 0, 0});
  body.insert(body.end(), secret.begin() + 32, secret.end());
  return body;
}

// A 40-bit CryptoAPI key is padded with zeros to 128 bits ([MS-OFFCRYPTO] 2.3.5.2):
// a verifier encrypted so opens with its password.
TEST(RecordDecryptionTest, ACryptoApiKeyOf40BitsIsPaddedTo128) {
  const Bytes salt(16, 0x11), verifier(16, 0x22);
  Bytes salted = salt;
  for (const char c : std::string("abc")) salted.insert(salted.end(), {std::uint8_t(c), 0});
  const SecretBytes h0 = Digest(HashAlgorithm::kSha1, {salted});
  SecretBytes key = Digest(HashAlgorithm::kSha1, {h0, Bytes(4, 0)});  // block 0
  key.resize(5);
  key.resize(16, 0);
  Bytes secret = verifier;
  const SecretBytes verifier_hash = Digest(HashAlgorithm::kSha1, {verifier});
  secret.insert(secret.end(), verifier_hash.begin(), verifier_hash.end());
  Rc4(key).Apply(secret);
  secret.insert(secret.begin(), salt.begin(), salt.end());
  Stream s;
  s.Record(0x0809, kBof8).Record(0x002F, CryptoApiFilepass(0x6801, 0x8004, 40, secret));
  GivenPasswords abc({"abc"});
  EXPECT_TRUE(DecryptWorkbookStream(s.Record(0x000A, {}).bytes, "book.xls", &abc));
}

TEST(RecordDecryptionTest, BrokenOrUnknownFilepassIsRefused) {
  Bytes rc4 = {1, 0, 1, 0, 1, 0};  // RC4 1.1: salt, verifier and its hash follow
  rc4.resize(54, 0xA5);
  const char* kNotRead = "encrypted with a method this program does not read";
  const char* kNeeded = "book.xls: the workbook is password-protected and needs a password";
  const struct {
    const char* name;
    Bytes filepass;
    const char* refusal;
  } cases[] = {
      {"XOR cut short",
       {0, 0, 0x4A, 0x51},
       "book.xls: the file is damaged: its encryption header is damaged (the FILEPASS record is "
       "truncated)"},
      {"unknown method", {2, 0, 1, 0, 1, 0}, kNotRead},
      {"RC4 of an unknown version, in no more than its version", {1, 0, 5, 0, 9, 0}, kNotRead},
      {"RC4, no password given", rc4, kNeeded},
      {"RC4 CryptoAPI", CryptoApiFilepass(0x6801, 0x8004), kNeeded},
      {"RC4 CryptoAPI, its algorithm and hash left to the default", CryptoApiFilepass(0, 0),
       kNeeded},
      {"CryptoAPI with AES", CryptoApiFilepass(0x660E, 0x8004), kNotRead},
      {"CryptoAPI with SHA-256", CryptoApiFilepass(0x6801, 0x800C), kNotRead},
  };
  for (const auto& c : cases) {
    Stream s;
    s.Record(0x0809, kBof8).Record(0x002F, c.filepass).Record(0x000A, {});
    EXPECT_THAT([&] { DecryptWorkbookStream(s.bytes, "book.xls", nullptr); },
                testing::ThrowsMessage<ReadError>(testing::HasSubstr(c.refusal)))
        << c.name;
  }
}

}  // namespace
}  // namespace zerova::test
