// XOR obfuscation, the oldest "encryption" of .xls workbooks: BIFF5's only
// method and BIFF8's method 0 ([MS-OFFCRYPTO] 2.3.7.1-2.3.7.4; [MS-XLS] 2.4.117).
//
// The password, at most 15 single-byte characters, gives a 16-bit key and a
// 16-bit verifier that FILEPASS stores, and a 16-byte array that is XORed into
// the record data. This is the format's own key schedule, not a cipher.
#ifndef ZEROVA_FORMATS_XLS_XOR_OBFUSCATION_H_
#define ZEROVA_FORMATS_XLS_XOR_OBFUSCATION_H_

#include <array>
#include <cstdint>

#include "formats/crypto/digest.h"
#include "services/secret.h"

namespace zerova {

// The password as XOR obfuscation sees it: of each UTF-16 unit of the UTF-8
// `password`, its low byte, or its high byte when the low one is 0; at most 15.
SecretBytes XorPasswordBytes(ByteView password);

// The 16-bit password verifier ([MS-OFFCRYPTO] 2.3.7.1).
std::uint16_t XorVerifier(ByteView password_bytes);

// The 16-bit XOR key ([MS-OFFCRYPTO] 2.3.7.2). REQUIRES: 1 to 15 bytes.
std::uint16_t XorKey(ByteView password_bytes);

// The 16-byte obfuscation array ([MS-OFFCRYPTO] 2.3.7.3). REQUIRES: 1 to 15 bytes.
std::array<std::uint8_t, 16> XorArray(ByteView password_bytes);

// Reverses the obfuscation of `data`, whose first byte takes array entry
// `index` (mod 16) and each next byte the next entry ([MS-OFFCRYPTO] 2.3.7.4).
void XorDecrypt(const std::array<std::uint8_t, 16>& array, std::size_t index,
                std::span<std::uint8_t> data);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XLS_XOR_OBFUSCATION_H_
