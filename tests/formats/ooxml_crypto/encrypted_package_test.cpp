// Encrypted OOXML packages: every Agile hash and key size, Standard encryption,
// the integrity check, and each header field checked before it is trusted. The
// inputs come from tests/data/make_encrypted_fixtures.py.
#include "formats/ooxml_crypto/encrypted_package.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "formats/common/little_endian.h"
#include "formats/common/ole2_container.h"
#include "services/error.h"
#include "support/document.h"
#include "support/given_passwords.h"

namespace zerova::testing {
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

// A change to one of the streams, and the refusal it must bring.
struct Damage {
  const char* name;
  std::function<void(Streams&)> change;
  const char* refusal;
};

void Replace(Bytes& bytes, const std::string& from, const std::string& to) {
  std::string text(bytes.begin(), bytes.end());
  const std::size_t at = text.find(from);
  ASSERT_NE(at, std::string::npos) << from;
  text.replace(at, from.size(), to);
  bytes.assign(text.begin(), text.end());
}

// Stores `value` at byte `at` of the stream `member` of the streams.
std::function<void(Streams&)> SetU32(Bytes Streams::*member, std::size_t at, std::uint32_t value) {
  return [=](Streams& s) {
    for (int i = 0; i < 4; ++i) (s.*member)[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
  };
}

std::function<void(Streams&)> InInfo(std::string from, std::string to) {
  return [=](Streams& s) { Replace(s.info, from, to); };
}

void Check(const std::string& path, const std::string& password,
           const std::vector<Damage>& damages) {
  for (const Damage& d : damages) {
    Streams streams = StreamsOf(path);
    d.change(streams);
    EXPECT_THAT(Decrypt(streams, password), HasSubstr(d.refusal)) << d.name;
  }
}

TEST(EncryptedPackageTest, AgileHeadersAreCheckedBeforeUse) {
  const char* kNotRead = "encrypted with a method this program does not read";
  const auto set_u32 = [](std::size_t at, std::uint32_t v) {
    return SetU32(&Streams::package, at, v);
  };
  Check(
      kData + "/encrypted/agile-sha1-aes128.xlsx", "variant",
      {{"spin count past the cap", InInfo("spinCount=\"1000\"", "spinCount=\"10000001\""),
        "asks for too many hash rounds (spinCount)"},
       {"spin count past 32 bits", InInfo("spinCount=\"1000\"", "spinCount=\"99999999999\""),
        "wrong spinCount"},
       {"salt size other than the salt's", InInfo("saltSize=\"16\"", "saltSize=\"17\""),
        "wrong saltSize"},
       {"salt not base64", InInfo("saltValue=\"", "saltValue=\"*"), "wrong saltValue"},
       {"AES key size", InInfo("keyBits=\"128\"", "keyBits=\"100\""), "wrong keyBits"},
       {"hash size other than the hash's", InInfo("hashSize=\"20\"", "hashSize=\"64\""),
        "wrong hashSize"},
       {"block size", InInfo("blockSize=\"16\"", "blockSize=\"8\""), "wrong blockSize"},
       {"CFB chaining", InInfo("ChainingModeCBC", "ChainingModeCFB"), kNotRead},
       {"unknown hash", InInfo("hashAlgorithm=\"SHA1\"", "hashAlgorithm=\"WHIRLPOOL\""), kNotRead},
       {"verifier hash shorter than the hash",
        [](Streams& s) {
          std::string text(s.info.begin(), s.info.end());
          const std::size_t at = text.find("encryptedVerifierHashValue=\"") + 28;
          text.replace(at, text.find('"', at) - at, "AAAAAAAAAAAAAAAAAAAAAA==");
          s.info.assign(text.begin(), text.end());
        },
        "wrong encryptedVerifierHashValue"},
       {"document type", InInfo("<encryption", "<!DOCTYPE e [<!ENTITY a \"b\">]><encryption"),
        "declares a document type"},
       {"no data integrity", InInfo("<dataIntegrity", "<dataIntegrityX"), "lacks <dataIntegrity>"},
       {"certificate only", InInfo("keyEncryptor/password\">", "keyEncryptor/certificate\">"),
        "encrypted for a certificate, not with a password"},
       {"cut XML", [](Streams& s) { s.info.resize(s.info.size() - 30); }, "is not well-formed XML"},
       {"extensible encryption", [](Streams& s) { s.info[0] = 3, s.info[2] = 3; }, kNotRead},
       {"truncated version", [](Streams& s) { s.info.resize(3); }, "EncryptionInfo is truncated"},
       {"package shorter than its size", set_u32(0, 1 << 20), "shorter than the size it gives"},
       {"package size past 4 GiB", set_u32(4, 1), "shorter than the size it gives"},
       {"package without its size", [](Streams& s) { s.package.resize(7); },
        "EncryptedPackage is truncated"},
       {"package changed after it was sealed", [](Streams& s) { s.package[100] ^= 1; },
        "the package fails its integrity check"}});
}

TEST(EncryptedPackageTest, StandardHeadersAreCheckedBeforeUse) {
  const auto set_u32 = [](std::size_t at, std::uint32_t v) {
    return SetU32(&Streams::info, at, v);
  };
  const std::string path = kData + "/encrypted-xlsx-standard/input.xlsx";
  const std::size_t header_size = GetU32(StreamsOf(path).info, 8);
  const std::size_t verifier = 12 + header_size;
  Check(path, "Standard AES",
        {{"header size past the stream", set_u32(8, 5000), "wrong header size"},
         {"header size below its fields", set_u32(8, 31), "wrong header size"},
         {"key size not the algorithm's", set_u32(12 + 16, 256), "wrong key length"},
         {"RC4 in an OOXML package", set_u32(12 + 8, 0x6801),
          "encrypted with a method this program does not read"},
         {"external key", set_u32(12, 0x34), "encrypted with a method this program does not read"},
         {"salt size", set_u32(verifier, 15), "wrong salt size"},
         {"verifier hash size", set_u32(verifier + 36, 32), "wrong verifier size"},
         {"truncated verifier", [=](Streams& s) { s.info.resize(verifier + 60); },
          "EncryptionInfo is truncated"}});
}

}  // namespace
}  // namespace zerova::testing
