// The real spreadsheet service: tells a file's format from its first bytes, then
// hands the file to the reader that its content (never its name) calls for: a
// zip package to be read from the file member by member, anything else read
// whole, once, into memory.
#include <algorithm>
#include <functional>
#include <memory>
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
#include "services/workbook_file.h"

namespace zerova {
namespace {

// A format is told by at most this many of a file's first bytes.
constexpr std::size_t kHeadBytes = 16 * 1024;

constexpr const char* kNotOurs =
    "not a spreadsheet file this program reads (.xls, .xlsx, .xlsm, .xlsb, .ods, .fods, "
    "XML Spreadsheet 2003, an HTML table, or CSV or tab-separated text)";

// Called when a reader needs the file's bytes no more, so they may be freed early.
using ReleaseBytes = std::function<void()>;

// What a file's first bytes show it to be.
enum class Container {
  kNone,           // none of the formats
  kOle2,           // an .xls workbook, or an encrypted OOXML package
  kBiff,           // a bare BIFF stream
  kZip,            // .xlsx, .xlsm, .xlsb or .ods
  kXml2003,        // one XML or text document: XML Spreadsheet 2003,
  kFlatOds,        //   a flat OpenDocument spreadsheet,
  kHtml,           //   a web page,
  kDelimitedText,  //   CSV or tab-separated text
};

// `head` is a file's first kHeadBytes, or all of a shorter file. The documents
// of one XML or text document are tried in this order: XML formats by their root
// element, then web pages, then (as the last resort) delimited text.
Container Recognise(std::span<const std::uint8_t> head) {
  if (LooksLikeOle2(head)) return Container::kOle2;
  if (LooksLikeBiffStream(head)) return Container::kBiff;
  if (LooksLikeZip(head)) return Container::kZip;
  if (LooksLikeXml2003(head)) return Container::kXml2003;
  if (LooksLikeFlatOds(head)) return Container::kFlatOds;
  if (LooksLikeHtml(head)) return Container::kHtml;
  if (LooksLikeDelimitedText(head)) return Container::kDelimitedText;
  return Container::kNone;
}

// A zip package: .ods, .xlsb or .xlsx/.xlsm, told apart by its members.
std::unique_ptr<Worksheet> ReadZipArchive(ZipArchive& zip) {
  if (LooksLikeOds(zip)) return ReadOds(zip);
  if (LooksLikeXlsb(zip)) return ReadXlsb(zip);
  if (LooksLikeXlsx(zip)) return ReadXlsx(zip);
  throw ReadError(zip.file(), kNotOurs);
}

// A zip package in memory. An encrypted OOXML package, once decrypted, comes here too.
std::unique_ptr<Worksheet> ReadZipWorkbook(std::span<const std::uint8_t> bytes,
                                           const std::string& name) {
  if (!LooksLikeZip(bytes)) throw ReadError(name, kNotOurs);
  ZipArchive zip(bytes, name);
  return ReadZipArchive(zip);
}

// Reads the whole file `bytes`, which its first bytes show to be `container`.
// `release`, when given, may free `bytes` once a reader has what it needs of them.
std::unique_ptr<Worksheet> ReadContainer(Container container, std::span<const std::uint8_t> bytes,
                                         const std::string& name, PasswordSource* passwords,
                                         const ReleaseBytes& release) {
  switch (container) {
    case Container::kOle2:
      if (IsEncryptedPackage(bytes, name)) {
        const std::vector<std::uint8_t> package = DecryptPackage(bytes, name, passwords);
        if (release) release();
        return ReadZipWorkbook(package, name);
      }
      return ReadXls(bytes, name, passwords, release);
    case Container::kBiff:
      return ReadXls(bytes, name, passwords, release);
    case Container::kZip:
      return ReadZipWorkbook(bytes, name);
    case Container::kXml2003:
      return ReadXml2003(bytes, name);
    case Container::kFlatOds:
      return ReadFlatOds(bytes, name);
    case Container::kHtml:
      return ReadHtml(bytes, name);
    case Container::kDelimitedText:
      return ReadDelimitedText(bytes, name);
    case Container::kNone:
      break;
  }
  throw ReadError(name, kNotOurs);
}

class LocalSpreadsheetService final : public SpreadsheetService {
 public:
  explicit LocalSpreadsheetService(PasswordSource* passwords) : passwords_(passwords) {}

  std::unique_ptr<Worksheet> Open(const std::string& path) override {
    WorkbookFile file(path);
    const std::span<const std::uint8_t> head = file.Head(kHeadBytes);
    if (head.empty()) throw ReadError(path, "the file is empty");
    const Container container = Recognise(head);
    if (container == Container::kNone) throw ReadError(path, kNotOurs);
    if (container == Container::kZip) {
      // Read member by member from the file: a zip is never held in memory whole.
      ZipArchive zip(file.OpenStream(), file.size(), path);
      return ReadZipArchive(zip);
    }
    return ReadContainer(container, file.ReadAll(), path, passwords_, [&file] { file.Release(); });
  }

 private:
  PasswordSource* passwords_;
};

}  // namespace

std::unique_ptr<Worksheet> ReadWorkbookBytes(std::span<const std::uint8_t> bytes,
                                             const std::string& name, PasswordSource* passwords) {
  if (bytes.empty()) throw ReadError(name, "the file is empty");
  const Container container = Recognise(bytes.first(std::min(bytes.size(), kHeadBytes)));
  return ReadContainer(container, bytes, name, passwords, nullptr);
}

std::unique_ptr<SpreadsheetService> NewSpreadsheetService(PasswordSource* passwords) {
  return std::make_unique<LocalSpreadsheetService>(passwords);
}

}  // namespace zerova
