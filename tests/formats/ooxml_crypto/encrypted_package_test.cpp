// Encrypted OOXML packages: every Agile hash and key size, the integrity check, and
// header fields checked before use. Inputs: tests/data/make_encrypted_fixtures.py.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "formats/containers/ole2_container.h"
#include "formats/ooxml_crypto/encrypted_package.h"
#include "services/error.h"
#include "support/document.h"
#include "support/given_passwords.h"

namespace zerova::test {
namespace {

using ::testing::HasSubstr;

const std::string kData = ZEROVA_TEST_DATA;

struct Streams {
  Bytes info, package;
};

Streams StreamsOf(const std::string& path) {
  const std::vector<std::uint8_t> file = ReadFileBytes(path);
  const Ole2Container ole(file, path);
  return {ole.Read("EncryptionInfo"), ole.Read("EncryptedPackage")};
}

// The package's bytes, or "refused: MESSAGE".
std::string Decrypt(Streams streams, const std::string& password) {
  GivenPasswords source({password});
  try {
    DecryptPackageStreams(streams.info, streams.package, "book.xlsx", &source);
  } catch (const Error& e) {
    return std::string("refused: ") + e.what();
  }
  return std::string(streams.package.begin(), streams.package.end());
}

TEST(EncryptedPackageTest, EveryAgileHashAndKeySizeGivesThePackageBackForItsPasswordOnly) {
  const Bytes xlsx = ReadFileBytes(kData + "/basic/input.xlsx");
  for (const char* name : {"agile-sha1-aes128", "agile-sha256-aes192", "agile-sha384-aes256"}) {
    const Streams streams = StreamsOf(kData + "/encrypted/" + name + ".xlsx");
    EXPECT_EQ(Decrypt(streams, "variant"), std::string(xlsx.begin(), xlsx.end())) << name;
    EXPECT_EQ(Decrypt(streams, "x"),
              "refused: book.xlsx: the workbook is password-protected and the password is wrong")
        << name;
  }
  // Written with the HMAC of other bytes: refused before anything in it is read.
  EXPECT_EQ(
      Decrypt(StreamsOf(kData + "/encrypted/agile-sha512-aes256-damaged-hmac.xlsx"), "variant"),
      "refused: book.xlsx: damaged encrypted workbook: the package fails its integrity "
      "check");
}

// Replaces `from`, which must be there, with `to` in `bytes`.
void Replace(Bytes& bytes, const std::string& from, const std::string& to) {
  std::string text(bytes.begin(), bytes.end());
  ASSERT_NE(text.find(from), std::string::npos) << from;
  text.replace(text.find(from), from.size(), to);
  bytes.assign(text.begin(), text.end());
}

// Representative header fields, each checked before it is trusted; the fuzz target
// covers the rest broadly.
TEST(EncryptedPackageTest, HeadersAreCheckedBeforeUse) {
  const struct {
    const char* name;
    std::function<void(Streams&)> change;
    const char* refusal;
  } cases[] = {
      {"spin count past the cap",
       [](Streams& s) { Replace(s.info, "spinCount=\"1000\"", "spinCount=\"10000001\""); },
       "asks for too many hash rounds (spinCount)"},
      {"CFB chaining", [](Streams& s) { Replace(s.info, "ChainingModeCBC", "ChainingModeCFB"); },
       "encrypted with a method this program does not read"},
      {"document type",
       [](Streams& s) {
         Replace(s.info, "<encryption", "<!DOCTYPE e [<!ENTITY a \"b\">]><encryption");
       },
       "declares a document type"},
      {"package size past 4 GiB", [](Streams& s) { s.package[4] = 1; },
       "shorter than the size it gives"},
      {"package changed after it was sealed", [](Streams& s) { s.package[100] ^= 1; },
       "the package fails its integrity check"},
  };
  for (const auto& c : cases) {
    Streams streams = StreamsOf(kData + "/encrypted/agile-sha1-aes128.xlsx");
    c.change(streams);
    EXPECT_THAT(Decrypt(streams, "variant"), HasSubstr(c.refusal)) << c.name;
  }
  Streams standard = StreamsOf(kData + "/encrypted-xlsx-standard/input.xlsx");
  standard.info[9] = 0x50;  // a header of 20 KiB
  EXPECT_THAT(Decrypt(standard, "Standard AES"), HasSubstr("wrong header size"));
}

}  // namespace
}  // namespace zerova::test
