#include "formats/xls/xor_obfuscation.h"

#include <cassert>

#include "formats/crypto/password_trial.h"

namespace zerova {
namespace {

constexpr std::size_t kMaxLength = 15;

constexpr std::uint16_t kInitialCode[kMaxLength] = {0xE1F0, 0x1D0F, 0xCC9C, 0x84C0, 0x110C,
                                                    0x0E10, 0xF1CE, 0x313E, 0x1872, 0xE139,
                                                    0xD40F, 0x84F9, 0x280C, 0xA96A, 0x4EC3};

constexpr std::uint16_t kXorMatrix[105] = {
    0xAEFC, 0x4DD9, 0x9BB2, 0x2745, 0x4E8A, 0x9D14, 0x2A09, 0x7B61, 0xF6C2, 0xFDA5, 0xEB6B, 0xC6F7,
    0x9DCF, 0x2BBF, 0x4563, 0x8AC6, 0x05AD, 0x0B5A, 0x16B4, 0x2D68, 0x5AD0, 0x0375, 0x06EA, 0x0DD4,
    0x1BA8, 0x3750, 0x6EA0, 0xDD40, 0xD849, 0xA0B3, 0x5147, 0xA28E, 0x553D, 0xAA7A, 0x44D5, 0x6F45,
    0xDE8A, 0xAD35, 0x4A4B, 0x9496, 0x390D, 0x721A, 0xEB23, 0xC667, 0x9CEF, 0x29FF, 0x53FE, 0xA7FC,
    0x5FD9, 0x47D3, 0x8FA6, 0x0F6D, 0x1EDA, 0x3DB4, 0x7B68, 0xF6D0, 0xB861, 0x60E3, 0xC1C6, 0x93AD,
    0x377B, 0x6EF6, 0xDDEC, 0x45A0, 0x8B40, 0x06A1, 0x0D42, 0x1A84, 0x3508, 0x6A10, 0xAA51, 0x4483,
    0x8906, 0x022D, 0x045A, 0x08B4, 0x1168, 0x76B4, 0xED68, 0xCAF1, 0x85C3, 0x1BA7, 0x374E, 0x6E9C,
    0x3730, 0x6E60, 0xDCC0, 0xA9A1, 0x4363, 0x86C6, 0x1DAD, 0x3331, 0x6662, 0xCCC4, 0x89A9, 0x0373,
    0x06E6, 0x0DCC, 0x1021, 0x2042, 0x4084, 0x8108, 0x1231, 0x2462, 0x48C4};

constexpr std::uint8_t kPad[kMaxLength] = {0xBB, 0xFF, 0xFF, 0xBA, 0xFF, 0xFF, 0xB9, 0x80,
                                           0x00, 0xBE, 0x0F, 0x00, 0xBF, 0x0F, 0x00};

std::uint8_t RotateRight(std::uint8_t byte, int bits) {
  return static_cast<std::uint8_t>((byte >> bits) | (byte << (8 - bits)));
}

std::uint8_t XorRor(std::uint8_t a, std::uint8_t b) {
  return RotateRight(static_cast<std::uint8_t>(a ^ b), 1);
}

}  // namespace

SecretBytes XorPasswordBytes(ByteView password) {
  const SecretBytes units = PasswordUtf16(password);
  SecretBytes bytes;
  for (std::size_t i = 0; i + 1 < units.size() && bytes.size() < kMaxLength; i += 2) {
    bytes.push_back(units[i] != 0 ? units[i] : units[i + 1]);
  }
  return bytes;
}

std::uint16_t XorVerifier(ByteView password_bytes) {
  std::uint16_t verifier = 0;
  const auto step = [&verifier](std::uint8_t byte) {
    const std::uint16_t carry = (verifier & 0x4000) != 0 ? 1 : 0;
    verifier = static_cast<std::uint16_t>((((verifier << 1) & 0x7FFF) | carry) ^ byte);
  };
  for (std::size_t i = password_bytes.size(); i-- > 0;) step(password_bytes[i]);
  step(static_cast<std::uint8_t>(password_bytes.size()));
  return static_cast<std::uint16_t>(verifier ^ 0xCE4B);
}

std::uint16_t XorKey(ByteView password_bytes) {
  assert(!password_bytes.empty() && password_bytes.size() <= kMaxLength);
  std::uint16_t key = kInitialCode[password_bytes.size() - 1];
  std::size_t element = 104;
  for (std::size_t i = password_bytes.size(); i-- > 0;) {
    std::uint8_t c = password_bytes[i];
    for (int bit = 0; bit < 7; ++bit, --element) {
      if ((c & 0x40) != 0) key ^= kXorMatrix[element];
      c = static_cast<std::uint8_t>(c << 1);
    }
  }
  return key;
}

std::array<std::uint8_t, 16> XorArray(ByteView password_bytes) {
  assert(!password_bytes.empty() && password_bytes.size() <= kMaxLength);
  const std::uint16_t key = XorKey(password_bytes);
  const auto high = static_cast<std::uint8_t>(key >> 8);
  const auto low = static_cast<std::uint8_t>(key & 0xFF);
  const std::size_t length = password_bytes.size();
  std::array<std::uint8_t, 16> array{};
  std::size_t index = length;
  if (length % 2 == 1) {
    array[index] = XorRor(kPad[0], high);
    --index;
    array[index] = XorRor(password_bytes[length - 1], low);
  }
  while (index > 0) {
    --index;
    array[index] = XorRor(password_bytes[index], high);
    --index;
    array[index] = XorRor(password_bytes[index], low);
  }
  index = 15;
  for (int pad = static_cast<int>(kMaxLength - length); pad > 0; pad -= 2) {
    array[index--] = XorRor(kPad[pad], high);
    array[index--] = XorRor(kPad[pad - 1], low);
  }
  return array;
}

void XorDecrypt(const std::array<std::uint8_t, 16>& array, std::size_t index,
                std::span<std::uint8_t> data) {
  for (std::uint8_t& byte : data) {
    byte = RotateRight(static_cast<std::uint8_t>(byte ^ array[index++ % 16]), 5);
  }
}

}  // namespace zerova
