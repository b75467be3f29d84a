// Long work that reads no input, or reads it without reporting a position: key
// derivation, integrity checks, decryption, copies, decoding, big tables,
// sorting. Each step asks whether to stop at least once per 64 KB of data or a
// few milliseconds of rounds, so a stop is noticed while it runs; the count of
// questions over a step of known size shows it.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "formats/containers/ole2_container.h"
#include "formats/containers/workbook_source.h"
#include "formats/crypto/digest.h"
#include "formats/crypto/password_trial.h"
#include "formats/csv/reader.h"
#include "formats/ooxml_crypto/encrypted_package.h"
#include "formats/registry.h"
#include "formats/sheet/sheet_store.h"
#include "formats/xls/record_decryption.h"
#include "services/error.h"
#include "support/biff_builder.h"
#include "support/document.h"
#include "support/office_book.h"

namespace zerova {
namespace {

using test::Bytes;

const std::string kData = ZEROVA_TEST_DATA;
constexpr std::size_t kMegabytes = 4;
constexpr std::uint64_t kSteps = kMegabytes * 16;  // of 64 KB

// Counts the questions whether to stop, and answers a stop at question
// `stop_at` (0: never).
class CountingStop final : public ReadProgress {
 public:
  explicit CountingStop(int stop_at = 0) : stop_at_(stop_at) {}
  void Reached(std::uint64_t, std::uint64_t) override {}
  void CheckStop() override {
    if (++checks == stop_at_) throw Cancelled("book", "stopped");
  }
  int checks = 0;

 private:
  int stop_at_;
};

// `package` grown by kMegabytes of bytes past what it holds; with `declared`,
// its size field says so too, so that all of it is decrypted.
void Grow(Bytes& package, bool declared) {
  package.resize(package.size() + (kMegabytes << 20), 0x5A);
  if (!declared) return;
  const std::uint64_t size = package.size() - 8;
  for (int i = 0; i < 8; ++i) package[i] = static_cast<std::uint8_t>(size >> (8 * i));
}

// The RC4 workbook's stream with kMegabytes of records added, which the
// decryption goes through too.
Bytes GrownXlsStream() {
  const Bytes file = test::ReadFileBytes(kData + "/encrypted-xls-rc4/input.xls");
  const WorkbookStream stream = ReadWorkbookStream(file, "book");
  Bytes bytes(stream.bytes().begin(), stream.bytes().end());
  const Bytes record = test::BiffBuilder().Record(0x0204, Bytes(8188, 0x41)).BuildBare();
  for (std::size_t i = 0; i < (kMegabytes << 20) / record.size(); ++i) {
    bytes.insert(bytes.end(), record.begin(), record.end());
  }
  return bytes;
}

// A bare BIFF8 workbook whose shared-string table holds 100,000 strings.
Bytes BigStringTable() {
  std::vector<test::SstString> strings;
  std::vector<test::SstSplit> splits;
  for (int i = 0; i < 100000; ++i) {
    const std::string digits = std::to_string(i);
    strings.push_back({u"s" + std::u16string(digits.begin(), digits.end())});
    if (i % 500 == 499) splits.push_back({static_cast<std::size_t>(i), 0});
  }
  test::BiffBuilder book;
  book.Bof(test::Biff::k8).Xf(0).Sst(strings, splits).Boundsheet("S").Eof();
  return book.Bof(test::Biff::k8, test::kWorksheetBof).Eof().BuildBare();
}

TEST(LongWorkStopTest, EachLongStepAsksWhetherToStopAsItGoes) {
  const struct {
    const char* step;
    int at_least;  // questions
    std::function<void(ReadProgress*)> run;
  } rows[] = {
      {"100,000 hash rounds, of the 10,000,000 a file may ask", 24,
       [](ReadProgress* p) {
         SecretBytes hash(64, 1);
         RehashWithCounter(HashAlgorithm::kSha512, hash, 100000, p);
       }},
      {"Agile: the integrity check over 4 MB", kSteps,
       [](ReadProgress* p) {
         test::EncryptedStreams s =
             test::EncryptedStreamsOf(kData + "/encrypted/agile-sha1-aes128.xlsx");
         Grow(s.package, false);
         test::GivenPasswords source({"variant"});
         try {
           DecryptPackageStreams(s.info, s.package, "book", &source, kMaxSpinCount, p);
         } catch (const ReadError&) {  // the grown package fails the check, once it is made
         }
       }},
      {"Standard: 4 MB decrypted", kSteps,
       [](ReadProgress* p) {
         test::EncryptedStreams s =
             test::EncryptedStreamsOf(kData + "/encrypted-xlsx-standard/input.xlsx");
         Grow(s.package, true);
         test::GivenPasswords source({"Standard AES"});
         DecryptPackageStreams(s.info, s.package, "book", &source, kMaxSpinCount, p);
       }},
      {".xls RC4: 4 MB of records decrypted", kSteps,
       [](ReadProgress* p) {
         Bytes stream = GrownXlsStream();
         test::GivenPasswords source({"pässwörd"});
         DecryptWorkbookStream(stream, "book", &source, p);
       }},
      {"a 4 MB stream copied out of an OLE2 file", kSteps,
       [](ReadProgress* p) {
         test::BiffBuilder book;
         book.Bof(test::Biff::k8).Record(0x0204, Bytes(kMegabytes << 20, 0)).Eof();
         const Bytes file = book.Build();
         Ole2Container(file, "book", p).Read("Workbook");
       }},
      {"100,000 shared strings", 24,
       [](ReadProgress* p) {
         const Bytes file = BigStringTable();
         OpenWorkbook(WorkbookSource::View(file, "book", nullptr, p));
       }},
      {"4 MB of UTF-16 text decoded", kSteps,
       [](ReadProgress* p) {
         std::string text = "\xFF\xFE";
         while (text.size() < (kMegabytes << 20)) text += std::string("a\0,\0b\0\n\0", 8);
         ReadDelimitedText(test::TextBytes(text), "book", p);
       }},
      {"640 columns sorted", 10,
       [](ReadProgress* p) {
         SheetStore sheet;
         for (int column = 1; column <= 640; ++column) {
           for (int row = 3; row >= 1; --row) sheet.PutNumber(row, column, row);
         }
         sheet.Seal(p);
       }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.step);
    CountingStop counting;
    row.run(&counting);
    EXPECT_GE(counting.checks, row.at_least);
    CountingStop stopping(1);
    EXPECT_THROW(row.run(&stopping), Cancelled);
  }
}

// The password source is asked only when the user has not asked to stop: a
// prompt on the terminal or in the window would otherwise come after the stop.
TEST(LongWorkStopTest, NoPasswordIsAskedForAfterAStop) {
  test::GivenPasswords source({"x"});
  CountingStop stop(1);
  EXPECT_THROW(TryPasswords(
                   &source, "book", [](ByteView) { return false; }, &stop),
               Cancelled);
  EXPECT_TRUE(source.asked.empty());
}

}  // namespace
}  // namespace zerova
