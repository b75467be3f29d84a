// Opening a password-protected workbook: which passwords are tried, in which
// order, and what the user is told when none fits.
//
// Excel's default password, "VelvetSweatshop", comes first and silently: Excel
// encrypts with it a workbook saved "read-only recommended" or with only a
// password to modify, and opens such a file without a question. Then the
// PasswordSource is asked, again after each wrong answer, until a password fits
// or the source has none left.
#ifndef ZEROVA_FORMATS_CRYPTO_PASSWORD_TRIAL_H_
#define ZEROVA_FORMATS_CRYPTO_PASSWORD_TRIAL_H_

#include <functional>
#include <string>

#include "formats/crypto/digest.h"
#include "services/password_source.h"
#include "services/read_progress.h"
#include "services/secret.h"

namespace zerova {

inline constexpr char kDefaultPassword[] = "VelvetSweatshop";
inline constexpr char kNeedsPassword[] = "the workbook is password-protected and needs a password";
inline constexpr char kWrongPassword[] =
    "the workbook is password-protected and the password is wrong";

// Calls `fits` with the UTF-8 bytes of each password in turn, the default one
// first, until it returns true; `fits` derives the key and checks it against the
// file's verifier (keeping what it derived when it fits). `source` may be null.
// Before asking the source, asks `progress` (null: nobody) whether to stop.
// Throws PasswordNeeded(file, kNeedsPassword) when the source gives no password
// at all, ReadError(file, kWrongPassword) when it gives up after a wrong one, and
// Cancelled when `progress` answers a stop. Whatever `fits` throws goes through.
void TryPasswords(PasswordSource* source, const std::string& file,
                  const std::function<bool(ByteView password)>& fits,
                  ReadProgress* progress = nullptr);

// The password as the formats hash it: its UTF-16LE code units (no terminator).
// Bytes that are not UTF-8 stand for U+FFFD.
SecretBytes PasswordUtf16(ByteView utf8);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_CRYPTO_PASSWORD_TRIAL_H_
