// The package's key from a password ([MS-OFFCRYPTO] 2.3.4.7-2.3.4.9 for
// Standard encryption, 2.3.4.11-2.3.4.13 for Agile).
//
// Each derivation hashes the salted password, rehashes it with a counter (50,000
// times for Standard, the spin count for Agile), and checks the key it gives
// against the file's encrypted verifier before the key is used on the package.
#ifndef ZEROVA_FORMATS_OOXML_CRYPTO_PACKAGE_KEY_H_
#define ZEROVA_FORMATS_OOXML_CRYPTO_PACKAGE_KEY_H_

#include <optional>

#include "formats/ooxml_crypto/encryption_info.h"
#include "services/read_progress.h"
#include "services/secret.h"

namespace zerova {

// The AES key of a Standard-encrypted package for the UTF-8 `password`, or
// nullopt when the verifier says the password is wrong. The derivation asks
// `stop` (null: nobody) whether to stop as RehashWithCounter does, and throws
// Cancelled when it answers a stop.
std::optional<SecretBytes> StandardPackageKey(const StandardInfo& info, ByteView password,
                                              ReadProgress* stop = nullptr);

// The secret key of an Agile-encrypted package for the UTF-8 `password`, or
// nullopt when the verifier says the password is wrong. Asks `stop` as
// StandardPackageKey does.
std::optional<SecretBytes> AgilePackageKey(const AgileInfo& info, ByteView password,
                                           ReadProgress* stop = nullptr);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_OOXML_CRYPTO_PACKAGE_KEY_H_
