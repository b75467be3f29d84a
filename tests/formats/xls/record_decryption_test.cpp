// The decryption pass over an encrypted workbook stream: which records and bytes
// are decrypted and which stay clear, and FILEPASS records that are refused.
// Real RC4 and RC4 CryptoAPI workbooks are checked whole in fixtures_test
// (LibreOffice's) and corpus_test (Excel's).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "formats/xls/record_decryption.h"
#include "formats/xls/xor_obfuscation.h"
#include "services/error.h"
#include "support/document.h"

namespace zerova::test {
namespace {

using ::testing::HasSubstr;
using Bytes = std::vector<std::uint8_t>;

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
  for (std::size_t i : {4, 5, 8}) {
    const auto [header, size] = plain.records[i];
    Obfuscate(encrypted.bytes, header + 4, size, 0);
  }
  Obfuscate(encrypted.bytes, plain.records[3].first + 4, plain.records[3].second, 4);
  GivenPasswords abc({"abc"});
  EXPECT_TRUE(DecryptWorkbookStream(encrypted.bytes, "book.xls", &abc));
  EXPECT_EQ(encrypted.bytes, plain.bytes);
}

TEST(RecordDecryptionTest, BrokenOrUnknownFilepassIsRefused) {
  Bytes rc4 = {1, 0, 1, 0, 1, 0};  // RC4 1.1: salt, verifier and its hash follow
  rc4.resize(54, 0xA5);
  const char* kNotRead = "encrypted with a method this program does not read";
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
      {"RC4, no password given", rc4,
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
}  // namespace zerova::test
