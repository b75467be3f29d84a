#include "formats/ooxml_crypto/agile_descriptor.h"

#include <libxml/xmlreader.h>
#include <nettle/base64.h>

#include <cstring>
#include <memory>
#include <optional>
#include <string_view>

#include "formats/numbers/value_text.h"
#include "formats/xml/xml_fault.h"
#include "services/error.h"

namespace zerova {
namespace {

constexpr std::size_t kMaxDescriptorSize = 1 << 20;  // real ones hold a few kilobytes
constexpr std::size_t kMaxSaltSize = 65536;
constexpr std::size_t kAesBlockSize = 16;
constexpr char kPasswordNamespace[] =
    "http://schemas.microsoft.com/office/2006/keyEncryptor/password";

struct ReaderFree {
  void operator()(xmlTextReader* reader) const { xmlFreeTextReader(reader); }
};
struct XmlFree {
  void operator()(xmlChar* text) const { xmlFree(text); }
};

// Decodes base64 ([RFC 4648] 4) with Nettle, which passes over white space;
// nullopt when ill-formed.
std::optional<Bytes> DecodeBase64(std::string_view text) {
  Bytes out(BASE64_DECODE_LENGTH(text.size()));
  base64_decode_ctx context;
  base64_decode_init(&context);
  std::size_t length = out.size();
  if (base64_decode_update(&context, &length, out.data(), text.size(), text.data()) != 1 ||
      base64_decode_final(&context) != 1) {
    return std::nullopt;
  }
  out.resize(length);
  return out;
}

std::optional<HashAlgorithm> HashNamed(std::string_view name) {
  std::string plain;
  for (char c : name) {
    if (c != '-') plain.push_back(static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c));
  }
  if (plain == "SHA1") return HashAlgorithm::kSha1;
  if (plain == "SHA256") return HashAlgorithm::kSha256;
  if (plain == "SHA384") return HashAlgorithm::kSha384;
  if (plain == "SHA512") return HashAlgorithm::kSha512;
  if (plain == "MD5") return HashAlgorithm::kMd5;
  return std::nullopt;
}

class DescriptorReader {
 public:
  DescriptorReader(ByteView xml, const std::string& file, std::uint32_t max_spin_count)
      : xml_(xml), file_(file), max_spin_count_(max_spin_count) {}

  AgileInfo Read() {
    if (xml_.size() > kMaxDescriptorSize) Fail("is too large");
    reader_.reset(xmlReaderForMemory(reinterpret_cast<const char*>(xml_.data()),
                                     static_cast<int>(xml_.size()), "EncryptionInfo", nullptr,
                                     kQuietXmlOptions));
    if (reader_ == nullptr) Fail("cannot be read");
    xmlTextReaderSetStructuredErrorHandler(reader_.get(), IgnoreXmlError, nullptr);
    bool key_data = false, integrity = false, password = false;
    int status;
    while ((status = xmlTextReaderRead(reader_.get())) == 1) {
      const int type = xmlTextReaderNodeType(reader_.get());
      if (type == XML_READER_TYPE_DOCUMENT_TYPE) Fail("declares a document type");
      if (type != XML_READER_TYPE_ELEMENT) continue;
      const std::string_view name = LocalName();
      if (name == "keyData" && !key_data) {
        info_.data = KeyParameters();
        key_data = true;
      } else if (name == "dataIntegrity" && !integrity) {
        info_.encrypted_hmac_key = Value("encryptedHmacKey");
        info_.encrypted_hmac_value = Value("encryptedHmacValue");
        integrity = true;
      } else if (name == "encryptedKey" && !password && InPasswordNamespace()) {
        PasswordKey();
        password = true;
      }
    }
    if (status != 0) Fail("is not well-formed XML");
    if (!key_data) Fail("lacks <keyData>");
    if (!integrity) Fail("lacks <dataIntegrity>");
    if (!password) {
      throw ReadError(file_, "the workbook is encrypted for a certificate, not with a password");
    }
    CheckSizes();
    return std::move(info_);
  }

 private:
  std::string_view LocalName() const {
    const xmlChar* name = xmlTextReaderConstLocalName(reader_.get());
    return name != nullptr ? reinterpret_cast<const char*>(name) : "";
  }

  bool InPasswordNamespace() const {
    const xmlChar* ns = xmlTextReaderConstNamespaceUri(reader_.get());
    return ns != nullptr && std::strcmp(reinterpret_cast<const char*>(ns), kPasswordNamespace) == 0;
  }

  std::string Attribute(const char* name) const {
    std::unique_ptr<xmlChar, XmlFree> value(
        xmlTextReaderGetAttribute(reader_.get(), reinterpret_cast<const xmlChar*>(name)));
    if (value == nullptr) Fail(std::string("lacks the attribute ") + name);
    return reinterpret_cast<const char*>(value.get());
  }

  std::uint64_t Number(const char* name, std::uint64_t most) const {
    std::uint64_t value = 0;
    if (!ParseCountText(Attribute(name), &value) || value > most) {
      Fail(std::string("has a wrong ") + name);
    }
    return value;
  }

  Bytes Value(const char* name) const {
    std::optional<Bytes> bytes = DecodeBase64(Attribute(name));
    if (!bytes || bytes->empty()) Fail(std::string("has a wrong ") + name);
    return std::move(*bytes);
  }

  // The attributes every key description shares (CT_KeyData and CT_PasswordKeyEncryptor).
  AgileKeyParameters KeyParameters() const {
    AgileKeyParameters key;
    if (Attribute("cipherAlgorithm") != "AES" || Attribute("cipherChaining") != "ChainingModeCBC") {
      Unsupported();
    }
    const std::optional<HashAlgorithm> hash = HashNamed(Attribute("hashAlgorithm"));
    if (!hash) Unsupported();
    key.hash = *hash;
    if (Number("hashSize", 64) != DigestSize(key.hash)) Fail("has a wrong hashSize");
    const std::uint64_t key_bits = Number("keyBits", 1024);
    if (key_bits != 128 && key_bits != 192 && key_bits != 256) Fail("has a wrong keyBits");
    key.key_bytes = key_bits / 8;
    key.block_bytes = Number("blockSize", 4096);
    if (key.block_bytes != kAesBlockSize) Fail("has a wrong blockSize");
    const std::uint64_t salt_size = Number("saltSize", kMaxSaltSize);
    key.salt = Value("saltValue");
    if (salt_size == 0 || key.salt.size() != salt_size) Fail("has a wrong saltSize");
    return key;
  }

  void PasswordKey() {
    info_.password = KeyParameters();
    const std::uint64_t spin_count = Number("spinCount", 0xFFFFFFFF);
    if (spin_count > max_spin_count_) {
      throw ReadError(file_,
                      "the workbook's encryption asks for more hash rounds than allowed "
                      "(spinCount " +
                          std::to_string(spin_count) + ", at most " +
                          std::to_string(max_spin_count_) + ")");
    }
    info_.spin_count = static_cast<std::uint32_t>(spin_count);
    info_.encrypted_verifier_hash_input = Value("encryptedVerifierHashInput");
    info_.encrypted_verifier_hash_value = Value("encryptedVerifierHashValue");
    info_.encrypted_key_value = Value("encryptedKeyValue");
  }

  // Each encrypted value is whole AES blocks, enough for what it holds.
  void CheckSizes() const {
    const auto check = [this](const Bytes& value, std::size_t least, const char* name) {
      if (value.size() % kAesBlockSize != 0 || value.size() < least) {
        Fail(std::string("has a wrong ") + name);
      }
    };
    check(info_.encrypted_verifier_hash_input, info_.password.salt.size(),
          "encryptedVerifierHashInput");
    check(info_.encrypted_verifier_hash_value, DigestSize(info_.password.hash),
          "encryptedVerifierHashValue");
    check(info_.encrypted_key_value, info_.data.key_bytes, "encryptedKeyValue");
    check(info_.encrypted_hmac_key, DigestSize(info_.data.hash), "encryptedHmacKey");
    check(info_.encrypted_hmac_value, DigestSize(info_.data.hash), "encryptedHmacValue");
  }

  [[noreturn]] void Fail(const std::string& what) const {
    throw Damaged(file_, kDamagedEncryptionHeader, "encryption descriptor " + what);
  }

  [[noreturn]] void Unsupported() const {
    throw ReadError(file_, "the workbook is encrypted with a method this program does not read");
  }

  ByteView xml_;
  const std::string& file_;
  std::uint32_t max_spin_count_;
  std::unique_ptr<xmlTextReader, ReaderFree> reader_;
  AgileInfo info_;
};

}  // namespace

AgileInfo ParseAgileDescriptor(ByteView xml, const std::string& file,
                               std::uint32_t max_spin_count) {
  return DescriptorReader(xml, file, max_spin_count).Read();
}

}  // namespace zerova
