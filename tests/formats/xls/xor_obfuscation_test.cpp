// XOR obfuscation's key and verifier, against the values Excel stores.
#include "formats/xls/xor_obfuscation.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace zerova::testing {
namespace {

ByteView Text(const char* text) {
  return ByteView(reinterpret_cast<const std::uint8_t*>(text), std::strlen(text));
}

// Key and verifier as Excel stores them in FILEPASS: Apache POI's
// xor-encryption-abc.xls for "abc", ExcelDataReader's xor_pwd_password.xls for
// "password" (0x83AF is also Excel's well-known sheet-protection hash of it).
TEST(XorObfuscationTest, KeyAndVerifierMatchExcels) {
  EXPECT_EQ(XorKey(Text("abc")), 0x514A);
  EXPECT_EQ(XorVerifier(Text("abc")), 0xCC1A);
  EXPECT_EQ(XorKey(Text("password")), 0x147A);
  EXPECT_EQ(XorVerifier(Text("password")), 0x83AF);
  // One byte per character, the low one unless it is zero; at most 15.
  const SecretBytes bytes =
      XorPasswordBytes(Text("\xC3\xA4\xC4\x80"
                            "0123456789abcdefgh"));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
            "\xE4\x01"
            "0123456789abc");
}

}  // namespace
}  // namespace zerova::testing
