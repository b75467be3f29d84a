// Encrypted OOXML packages: every Agile hash and key size, the integrity check, and
// header fields checked before use. Inputs: tests/data/make_encrypted_fixtures.py.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "formats/ooxml_crypto/encrypted_package.h"
#include "services/error.h"
#include "support/document.h"

namespace zerova::test {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

const std::string kData = ZEROVA_TEST_DATA;

// The package's bytes, or "refused: MESSAGE".
std::string Decrypt(EncryptedStreams streams, const std::string& password) {
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
    const EncryptedStreams streams = EncryptedStreamsOf(kData + "/encrypted/" + name + ".xlsx");
    EXPECT_EQ(Decrypt(streams, "variant"), std::string(xlsx.begin(), xlsx.end())) << name;
    EXPECT_EQ(Decrypt(streams, "x"),
              "refused: book.xlsx: the workbook is password-protected and the password is wrong")
        << name;
  }
  // Written with the HMAC of other bytes: refused before anything in it is read.
  EXPECT_EQ(Decrypt(EncryptedStreamsOf(kData + "/encrypted/agile-sha512-aes256-damaged-hmac.xlsx"),
                    "variant"),
            "refused: book.xlsx: the file is damaged: the encrypted workbook fails its integrity "
            "check (the HMAC of the EncryptedPackage stream does not match its descriptor's)");
}

// Replaces `from`, which must be there, with `to` in `bytes`.
void Replace(Bytes& bytes, const std::string& from, const std::string& to) {
  std::string text(bytes.begin(), bytes.end());
  ASSERT_NE(text.find(from), std::string::npos) << from;
  text.replace(text.find(from), from.size(), to);
  bytes.assign(text.begin(), text.end());
}

// Representative header fields, each checked before it is trusted; the fuzz target
// covers the rest broadly. Each refusal is given as it starts.
TEST(EncryptedPackageTest, HeadersAreCheckedBeforeUse) {
  const std::string header = "the file is damaged: " + std::string(kDamagedEncryptionHeader);
  const struct {
    const char* name;
    std::function<void(EncryptedStreams&)> change;
    std::string refusal;
  } cases[] = {
      {"spin count past the cap",
       [](EncryptedStreams& s) { Replace(s.info, "spinCount=\"1000\"", "spinCount=\"10000001\""); },
       "the workbook's encryption asks for more hash rounds than allowed (spinCount 10000001, "
       "at most 10000000)"},
      {"CFB chaining",
       [](EncryptedStreams& s) { Replace(s.info, "ChainingModeCBC", "ChainingModeCFB"); },
       "the workbook is encrypted with a method this program does not read"},
      {"document type",
       [](EncryptedStreams& s) {
         Replace(s.info, "<encryption", "<!DOCTYPE e [<!ENTITY a \"b\">]><encryption");
       },
       header + " (encryption descriptor declares a document type)"},
      {"salt of no base64",
       [](EncryptedStreams& s) { Replace(s.info, "saltValue=\"", "saltValue=\"*"); },
       header + " (encryption descriptor has a wrong saltValue)"},
      {"package size past 4 GiB", [](EncryptedStreams& s) { s.package[4] = 1; },
       "the file is damaged: the encrypted workbook inside it is cut short"},
      {"package changed after it was sealed", [](EncryptedStreams& s) { s.package[100] ^= 1; },
       "the file is damaged: the encrypted workbook fails its integrity check"},
  };
  for (const auto& c : cases) {
    EncryptedStreams streams = EncryptedStreamsOf(kData + "/encrypted/agile-sha1-aes128.xlsx");
    c.change(streams);
    EXPECT_THAT(Decrypt(streams, "variant"), StartsWith("refused: book.xlsx: " + c.refusal))
        << c.name;
  }
  EncryptedStreams standard = EncryptedStreamsOf(kData + "/encrypted-xlsx-standard/input.xlsx");
  standard.info[9] = 0x50;  // a header of 20 KiB
  EXPECT_EQ(Decrypt(standard, "Standard AES"),
            "refused: book.xlsx: " + header + " (EncryptionInfo has a wrong header size)");
}

// Standard encryption's header names its hash (none, or SHA-1) and its AES key
// size, which must agree with its algorithm; it may lack the CSP's name, and its
// stream may end right after the verifier's hash.
TEST(EncryptedPackageTest, StandardHeadersNameTheirHashAndKeySize) {
  const std::string damaged =
      "refused: book.xlsx: the file is damaged: " + std::string(kDamagedEncryptionHeader) +
      " (EncryptionInfo has a wrong key length)";
  const std::string refused = "refused: book.xlsx: the workbook is ";
  const std::string not_read = refused + "encrypted with a method this program does not";
  const struct {
    const char* name;
    std::uint32_t algorithm, hash, key_bits;
    std::string outcome;     // how it starts
    std::uint8_t major = 4;  // the version is major.2
  } rows[] = {
      {"AES-128 and SHA-1", 0x660E, 0x8004, 128, "PK"},
      {"version 2.2", 0x660E, 0x8004, 128, "PK", 2},
      {"version 5.2", 0x660E, 0x8004, 128, not_read, 5},
      {"SHA-256", 0x660E, 0x800C, 128, not_read},
      {"AES-192: a key of 24 bytes, not the file's", 0x660F, 0x8004, 192,
       refused + "password-protected and the password is wrong"},
      {"AES-192 of 128 bits", 0x660F, 0, 128, damaged},
      {"AES-256 of 192 bits", 0x6610, 0, 192, damaged},
  };
  for (const auto& row : rows) {
    EncryptedStreams s = EncryptedStreamsOf(kData + "/encrypted-xlsx-standard/input.xlsx");
    // The header's 32 bytes without the CSP's name, then salt, verifier and its hash.
    s.info.erase(s.info.begin() + 44, s.info.begin() + 12 + (s.info[8] | s.info[9] << 8));
    s.info.resize(44 + 72);
    s.info[8] = 32, s.info[9] = 0, s.info[0] = row.major, s.info[2] = 2;
    for (const auto& [at, value] :
         {std::pair{20, row.algorithm}, {24, row.hash}, {28, row.key_bits}}) {
      for (int i = 0; i < 4; ++i) s.info[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
    EXPECT_EQ(Decrypt(s, "Standard AES").substr(0, row.outcome.size()), row.outcome) << row.name;
  }
}

}  // namespace
}  // namespace zerova::test
