// The real spreadsheet service: reads the file whole, then hands its bytes to the
// reader that its content (never its name) calls for.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "formats/common/ole2_container.h"
#include "formats/common/zip_archive.h"
#include "formats/csv/reader.h"
#include "formats/html/reader.h"
#include "formats/ods/reader.h"
#include "formats/ooxml_crypto/encrypted_package.h"
#include "formats/xls/reader.h"
#include "formats/xlsb/reader.h"
#include "formats/xlsx/reader.h"
#include "formats/xml2003/reader.h"
#include "services/error.h"
#include "services/spreadsheet.h"

namespace zerova {
namespace {

// Refuse files larger than this rather than try to hold them in memory.
constexpr std::int64_t kMaxFileBytes = std::int64_t{2} << 30;

std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
  if (path.empty()) throw ReadError("", "no spreadsheet file was chosen");
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) throw ReadError(path, "no such file");
    throw ReadError(path, std::string("cannot open the file: ") + std::strerror(errno));
  }
  if (S_ISDIR(st.st_mode)) throw ReadError(path, "is a folder, not a spreadsheet file");
  if (!S_ISREG(st.st_mode)) throw ReadError(path, "is not a regular file");
  if (st.st_size > kMaxFileBytes)
    throw ReadError(path, "the file is too large to read (over 2 GiB)");

  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    throw ReadError(path, std::string("cannot open the file: ") + std::strerror(errno));
  }
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(st.st_size));
  const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
  const bool failed = std::ferror(file) != 0;
  const int read_errno = errno;
  std::fclose(file);
  if (failed)
    throw ReadError(path, std::string("cannot read the file: ") + std::strerror(read_errno));
  bytes.resize(got);
  return bytes;
}

class LocalSpreadsheetService final : public SpreadsheetService {
 public:
  explicit LocalSpreadsheetService(PasswordSource* passwords) : passwords_(passwords) {}

  std::unique_ptr<Worksheet> Open(const std::string& path) override {
    const std::vector<std::uint8_t> bytes = ReadWholeFile(path);
    return ReadWorkbookBytes(bytes, path, passwords_);
  }

 private:
  PasswordSource* passwords_;
};

// The text formats are told apart by this many of a file's first bytes.
constexpr std::size_t kSniffBytes = 16 * 1024;

constexpr const char* kNotOurs =
    "not a spreadsheet file this program reads (.xls, .xlsx, .xlsm, .xlsb, .ods, .fods, "
    "XML Spreadsheet 2003, an HTML table, or CSV or tab-separated text)";

// A zip package: .ods, .xlsb or .xlsx/.xlsm. An encrypted OOXML package, once
// decrypted, comes here too.
std::unique_ptr<Worksheet> ReadZipWorkbook(std::span<const std::uint8_t> bytes,
                                           const std::string& name) {
  if (!LooksLikeZip(bytes)) throw ReadError(name, kNotOurs);
  ZipArchive zip(bytes, name);
  if (LooksLikeOds(zip)) return ReadOds(zip);
  if (LooksLikeXlsb(zip)) return ReadXlsb(zip);
  if (LooksLikeXlsx(zip)) return ReadXlsx(zip);
  throw ReadError(name, kNotOurs);
}

// The readers of files that are one XML or text document, tried in this order
// on the file's first bytes: XML formats by their root element, then web pages,
// then (as the last resort) delimited text.
std::unique_ptr<Worksheet> ReadTextDocument(std::span<const std::uint8_t> bytes,
                                            const std::string& name) {
  const auto prefix = bytes.first(std::min(bytes.size(), kSniffBytes));
  if (LooksLikeXml2003(prefix)) return ReadXml2003(bytes, name);
  if (LooksLikeFlatOds(prefix)) return ReadFlatOds(bytes, name);
  if (LooksLikeHtml(prefix)) return ReadHtml(bytes, name);
  if (LooksLikeDelimitedText(prefix)) return ReadDelimitedText(bytes, name);
  throw ReadError(name, kNotOurs);
}

}  // namespace

std::unique_ptr<Worksheet> ReadWorkbookBytes(std::span<const std::uint8_t> bytes,
                                             const std::string& name, PasswordSource* passwords) {
  if (bytes.empty()) throw ReadError(name, "the file is empty");
  if (LooksLikeOle2(bytes) && IsEncryptedPackage(bytes, name)) {
    return ReadZipWorkbook(DecryptPackage(bytes, name, passwords), name);
  }
  if (LooksLikeOle2(bytes) || LooksLikeBiffStream(bytes)) return ReadXls(bytes, name, passwords);
  if (!LooksLikeZip(bytes)) return ReadTextDocument(bytes, name);
  return ReadZipWorkbook(bytes, name);
}

std::unique_ptr<SpreadsheetService> NewSpreadsheetService(PasswordSource* passwords) {
  return std::make_unique<LocalSpreadsheetService>(passwords);
}

}  // namespace zerova
