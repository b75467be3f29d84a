// FILEPASS: how an .xls workbook is encrypted, and the key that undoes it
// ([MS-XLS] 2.4.117; [MS-OFFCRYPTO] 2.3.5-2.3.7).
//
// Three methods: XOR obfuscation (BIFF5, and BIFF8 method 0), RC4 with an
// MD5-derived 40-bit key (BIFF8 method 1, version 1.1) and RC4 CryptoAPI with a
// SHA-1-derived key of any length the header names (version 2.2, 3.2 or 4.2).
// Every field is checked against the record's length before it is used.
#ifndef ZEROVA_FORMATS_XLS_FILEPASS_H_
#define ZEROVA_FORMATS_XLS_FILEPASS_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "formats/crypto/digest.h"
#include "services/password_source.h"
#include "services/read_progress.h"

namespace zerova {

// Decrypts record bodies of the workbook stream in place. The key stream is
// driven by each byte's position in the stream, so bodies may be handed over in
// any order and records left clear cost nothing.
class RecordDecryptor {
 public:
  virtual ~RecordDecryptor() = default;

  // Decrypts the record body of `size` bytes at stream offset `body`, leaving
  // its first `clear` bytes as they are. REQUIRES: body + size <= stream.size().
  virtual void DecryptBody(std::span<std::uint8_t> stream, std::size_t body, std::size_t size,
                           std::size_t clear) = 0;
};

// Reads the FILEPASS record body `body` of a BIFF8 workbook (`biff8`) or a BIFF5
// one, finds the password that opens it (TryPasswords: the default first, then
// `passwords`, asking `progress` (null: nobody) whether to stop before each)
// and returns the decryptor its key gives.
// Throws ReadError naming `file` when the body is truncated or inconsistent, names
// a method this program does not read, or no password fits (kNeedsPassword or
// kWrongPassword); Cancelled when `progress` answers a stop.
std::unique_ptr<RecordDecryptor> UnlockFilepass(std::span<const std::uint8_t> body, bool biff8,
                                                const std::string& file, PasswordSource* passwords,
                                                ReadProgress* progress = nullptr);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XLS_FILEPASS_H_
