// The XML descriptor of Agile encryption ([MS-OFFCRYPTO] 2.3.4.10): the
// <encryption> element with <keyData>, <dataIntegrity> and the password's
// <p:encryptedKey>, every binary value in base64.
//
// Read with libxml2 from memory, locked down like every XML we read: no network,
// no DTD (a descriptor that declares one is refused), no entities.
#ifndef ZEROVA_FORMATS_OOXML_CRYPTO_AGILE_DESCRIPTOR_H_
#define ZEROVA_FORMATS_OOXML_CRYPTO_AGILE_DESCRIPTOR_H_

#include <string>

#include "formats/ooxml_crypto/encryption_info.h"

namespace zerova {

// Reads the descriptor `xml`. Throws ReadError naming `file` when it is not
// well-formed, lacks an element or attribute, holds a value that is not what its
// name promises (a bad base64 value, a salt of another size than saltSize), names
// an algorithm other than AES in CBC with MD5 or SHA-1/256/384/512, or has no
// password key encryptor, or a spin count above `max_spin_count`.
AgileInfo ParseAgileDescriptor(ByteView xml, const std::string& file, std::uint32_t max_spin_count);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_OOXML_CRYPTO_AGILE_DESCRIPTOR_H_
