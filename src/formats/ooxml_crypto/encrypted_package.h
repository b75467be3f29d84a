// Decrypting an encrypted OOXML package: the entry format detection calls.
//
// The EncryptedPackage stream is the package's size (8 bytes) and its bytes,
// encrypted: in AES-ECB for Standard encryption, and in 4,096-byte segments of
// AES-CBC, each with its own IV, for Agile encryption. An Agile package's HMAC is
// checked over the whole stream before any of it is decrypted.
#ifndef ZEROVA_FORMATS_OOXML_CRYPTO_ENCRYPTED_PACKAGE_H_
#define ZEROVA_FORMATS_OOXML_CRYPTO_ENCRYPTED_PACKAGE_H_

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "formats/ooxml_crypto/encryption_info.h"
#include "services/password_source.h"
#include "services/read_progress.h"

namespace zerova {

// True iff the OLE2 file in `bytes` holds the stream EncryptionInfo or
// EncryptedPackage: an encrypted package, whole or damaged. Throws ReadError
// naming `file` when its directory cannot be read.
bool IsEncryptedPackage(std::span<const std::uint8_t> bytes, const std::string& file);

// The package inside the encrypted OOXML file `bytes`, decrypted, with the default
// password or one from `passwords` (null: none to ask). The EncryptedPackage
// stream is read as far as its sectors go (Ole2Container::ReadStored), since the
// package's own size says how much of it counts; a decrypted zip without its
// central directory is read from its local headers (ZipFromLocalHeaders). The
// key's derivation, the integrity check and the decryption ask `progress` (null:
// nobody) whether to stop, every few milliseconds of work. Throws Damaged naming
// `file` when a stream is missing or damaged, the header is refused
// (ParseEncryptionInfo), the package fails its integrity check or is cut short;
// ReadError when no password fits (kNeedsPassword, kWrongPassword); Cancelled
// when `progress` answers a stop.
std::vector<std::uint8_t> DecryptPackage(std::span<const std::uint8_t> bytes,
                                         const std::string& file, PasswordSource* passwords,
                                         ReadProgress* progress = nullptr);

// The same, from the two streams' bytes; `package` is decrypted in place and
// becomes the package. The entry for tests and fuzzing.
void DecryptPackageStreams(ByteView info_stream, std::vector<std::uint8_t>& package,
                           const std::string& file, PasswordSource* passwords,
                           std::uint32_t max_spin_count = kMaxSpinCount,
                           ReadProgress* progress = nullptr);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_OOXML_CRYPTO_ENCRYPTED_PACKAGE_H_
