// The decryption pass over an encrypted workbook stream: which records and bytes
// are decrypted and which stay clear, and FILEPASS records that are refused.
// Real RC4 and RC4 CryptoAPI workbooks are checked whole in fixtures_test
// (LibreOffice's) and corpus_test (Excel's).
#include "formats/xls/record_decryption.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "formats/xls/xor_obfuscation.h"
#include "services/error.h"
#include "support/given_passwords.h"

namespace zerova::testing {
namespace {

using ::testing::HasSubstr;
using Bytes = std::vector<std::uint8_t>;

ByteView Text(const char* text) {
  return ByteView(reinterpret_cast<const std::uint8_t*>(text), std::strlen(text));
}

struct Stream {
  Stream& Record(std::uint16_t id, Bytes body) {
    records.push_back({bytes.size(), body.size()});
    for (std::uint16_t v : {id, static_cast<std::uint16_t>(body.size())}) {
      bytes.push_back(static_cast<std::uint8_t>(v)),
          bytes.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    bytes.insert(bytes.end(), body.begin(), body.end());
    return *this;
  }
  Bytes bytes;
  std::vector<std::pair<std::size_t, std::size_t>> records;  // header offset, body size
};

const Bytes kBof8 = {0x00, 0x06, 0x05, 0x00, 1, 2, 3, 4};
const Bytes kXorAbc = {0, 0, 0x4A, 0x51, 0x1A, 0xCC};  // method 0, key, verifier

// Obfuscates `body_size` bytes from `from` as Excel does for "abc", the inverse of
// XorDecrypt: rotate left by 5, then XOR the array entry.
void Obfuscate(Bytes& bytes, std::size_t body, std::size_t size, std::size_t from) {
  const auto array = XorArray(Text("abc"));
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
  for (std::size_t i : {4, 5, 8}) {
    const auto [header, size] = plain.records[i];
    Obfuscate(encrypted.bytes, header + 4, size, 0);
  }
  Obfuscate(encrypted.bytes, plain.records[3].first + 4, plain.records[3].second, 4);
  GivenPasswords abc({"abc"});
  EXPECT_TRUE(DecryptWorkbookStream(encrypted.bytes, "book.xls", &abc));
  EXPECT_EQ(encrypted.bytes, plain.bytes);

  Stream clear;
  clear.Record(0x0809, kBof8).Record(0x000A, {}).Record(0x002F, kXorAbc);
  const Bytes before = clear.bytes;
  EXPECT_FALSE(DecryptWorkbookStream(clear.bytes, "book.xls", &abc)) << "FILEPASS after EOF";
  EXPECT_EQ(clear.bytes, before);
}

TEST(RecordDecryptionTest, BrokenOrUnknownFilepassIsRefused) {
  // A CryptoAPI FILEPASS with a 32-byte header whose key size is `bits`, then the verifier block.
  const auto crypto_api = [](std::uint32_t header_size, std::uint32_t bits, std::uint32_t salt,
                             std::uint32_t hash) {
    Bytes body = {1, 0, 4, 0, 2, 0, 0, 0, 0, 0};
    const auto put = [&body](std::uint32_t v, std::size_t then = 0) {
      for (int i = 0; i < 4; ++i) body.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
      body.resize(body.size() + then, 0x55);
    };
    for (std::uint32_t v : {header_size, 0u, 0u, 0x6801u, 0x8004u, bits, 1u, 0u, 0u}) put(v);
    put(salt, 32);
    put(hash, 20);
    return body;
  };
  const char* kNotRead = "encrypted with a method this program does not read";
  const struct {
    const char* name;
    Bytes filepass;
    const char* refusal;
  } cases[] = {
      {"XOR cut short", {0, 0, 0x4A, 0x51}, "(FILEPASS) is truncated"},
      {"RC4 cut short", Bytes{1, 0, 1, 0, 1, 0, 9}, "(FILEPASS) is truncated"},
      {"unknown method", {2, 0, 1, 0, 1, 0}, kNotRead},
      {"unknown RC4 version", {1, 0, 5, 0, 2, 0}, kNotRead},
      {"CryptoAPI header past the record", crypto_api(400, 128, 16, 20), "wrong header size"},
      {"CryptoAPI 36-bit key", crypto_api(32, 36, 16, 20), "wrong key length"},
      {"CryptoAPI 168-bit key", crypto_api(32, 168, 16, 20), "wrong key length"},
      {"CryptoAPI salt of 8", crypto_api(32, 128, 8, 20), "wrong salt size"},
      {"CryptoAPI verifier of 16", crypto_api(32, 128, 16, 16), "wrong verifier size"},
      {"CryptoAPI, no password given", crypto_api(32, 56, 16, 20),
       "book.xls: the workbook is password-protected and needs a password"},
  };
  for (const auto& c : cases) {
    Stream s;
    s.Record(0x0809, kBof8).Record(0x002F, c.filepass).Record(0x000A, {});
    try {
      DecryptWorkbookStream(s.bytes, "book.xls", nullptr);
      ADD_FAILURE() << c.name << ": not refused";
    } catch (const ReadError& e) {
      EXPECT_THAT(e.what(), HasSubstr(c.refusal)) << c.name;
    }
  }
}

}  // namespace
}  // namespace zerova::testing
