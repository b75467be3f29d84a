// formats/ooxml_crypto/: encrypted OOXML packages ([MS-OFFCRYPTO] 2.3.4). An
// encrypted .xlsx, .xlsm or .xlsb is an OLE2 file whose "EncryptionInfo" stream
// says how the key is made and whose "EncryptedPackage" stream holds the zip
// package, encrypted. Here: that header (this file, agile_descriptor.h), the key
// from a password (package_key.h), and the decryption (encrypted_package.h).
//
// EncryptionInfo: Standard encryption (version 2.2, 3.2 or 4.2: AES-128, -192
// or -256 in ECB, keys from SHA-1) or Agile encryption (version 4.4: an XML
// descriptor naming the cipher, the hash and the spin count). Every size, count
// and algorithm is checked before use; anything else is a clear refusal.
#ifndef ZEROVA_FORMATS_OOXML_CRYPTO_ENCRYPTION_INFO_H_
#define ZEROVA_FORMATS_OOXML_CRYPTO_ENCRYPTION_INFO_H_

#include <cstdint>
#include <string>
#include <vector>

#include "formats/crypto/digest.h"

namespace zerova {

using Bytes = std::vector<std::uint8_t>;

// The largest spin count a file may ask for: each round is one hash.
inline constexpr std::uint32_t kMaxSpinCount = 10'000'000;

// The plain fact of every refusal of a damaged EncryptionInfo stream (Damaged).
inline constexpr char kDamagedEncryptionHeader[] =
    "it is an encrypted workbook whose encryption header is damaged";

// Standard encryption's header and verifier ([MS-OFFCRYPTO] 2.3.4.5-2.3.4.6).
struct StandardInfo {
  std::size_t key_bytes = 16;     // 16, 24 or 32
  Bytes salt;                     // 16 bytes
  Bytes encrypted_verifier;       // 16 bytes
  Bytes encrypted_verifier_hash;  // 32 bytes: a SHA-1 digest padded to two AES blocks
};

// How one set of AES keys is made: its hash, salt and key size.
struct AgileKeyParameters {
  HashAlgorithm hash = HashAlgorithm::kSha1;
  std::size_t key_bytes = 16;    // 16, 24 or 32
  std::size_t block_bytes = 16;  // AES's block
  Bytes salt;                    // 1 to 65,536 bytes
};

// Agile encryption's descriptor ([MS-OFFCRYPTO] 2.3.4.10).
struct AgileInfo {
  AgileKeyParameters data;   // keyData: the package's key and its segments' IVs
  Bytes encrypted_hmac_key;  // dataIntegrity
  Bytes encrypted_hmac_value;
  AgileKeyParameters password;  // the password key encryptor
  std::uint32_t spin_count = 0;
  Bytes encrypted_verifier_hash_input;
  Bytes encrypted_verifier_hash_value;
  Bytes encrypted_key_value;
};

struct EncryptionInfo {
  bool agile = false;  // which of the two below holds the header
  StandardInfo standard;
  AgileInfo agile_info;
};

// Reads the EncryptionInfo stream `stream`. Spin counts above `max_spin_count`
// are refused. Throws Damaged(file, kDamagedEncryptionHeader, ...) when the
// stream is truncated or inconsistent, and ReadError naming `file` when it names
// a method or algorithm this program does not read.
EncryptionInfo ParseEncryptionInfo(ByteView stream, const std::string& file,
                                   std::uint32_t max_spin_count = kMaxSpinCount);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_OOXML_CRYPTO_ENCRYPTION_INFO_H_
