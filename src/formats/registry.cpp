#include "formats/registry.h"

#include <vector>

#include "formats/containers/ole2_container.h"
#include "formats/containers/zip_archive.h"
#include "formats/csv/reader.h"
#include "formats/html/reader.h"
#include "formats/ods/reader.h"
#include "formats/ooxml_crypto/encrypted_package.h"
#include "formats/xls/reader.h"
#include "formats/xlsb/reader.h"
#include "formats/xlsx/reader.h"
#include "formats/xml2003/reader.h"
#include "services/error.h"

namespace zerova {
namespace {

std::unique_ptr<Workbook> OpenEncryptedPackage(const std::shared_ptr<WorkbookSource>& source);

// Tried in this order. Each zip format declines a zip of another kind; CSV, the
// loosest sniff and the one format also told by a file's name, comes last.
constexpr Format kFormats[] = {
    {nullptr, "Office workbooks encrypted with a password", "", LooksLikeOle2, nullptr,
     OpenEncryptedPackage},
    {".xls", "Excel 97-2003, 5.0/95 and 2.x-4.x workbooks", "*.xls", LooksLikeXls, nullptr,
     OpenXls},
    {".xlsx, .xlsm", "Office Open XML workbooks", "*.xlsx;*.xlsm", LooksLikeZip, nullptr, OpenXlsx},
    {".xlsb", "Excel binary workbooks", "*.xlsb", LooksLikeZip, nullptr, OpenXlsb},
    {".ods", "OpenDocument spreadsheets", "*.ods", LooksLikeZip, nullptr, OpenOds},
    {".fods", "flat OpenDocument spreadsheets", "*.fods", LooksLikeFlatOds, nullptr, OpenFlatOds},
    {"XML Spreadsheet 2003", "Excel's XML Spreadsheet 2003 workbooks", "*.xml", LooksLikeXml2003,
     nullptr, OpenXml2003},
    {"an HTML table", "the first table of a web page", "*.htm;*.html", LooksLikeHtml, nullptr,
     OpenHtml},
    {"CSV or tab-separated text", "CSV or tab-separated text", "*.csv;*.tsv",
     LooksLikeDelimitedText, LooksLikeNamedText, OpenDelimitedText},
};

// An Office package encrypted with a password is an OLE2 file holding the
// package, a zip, encrypted: decrypted, it is read as the zip it is.
std::unique_ptr<Workbook> OpenEncryptedPackage(const std::shared_ptr<WorkbookSource>& source) {
  const std::string& name = source->name();
  if (!IsEncryptedPackage(source->Bytes(), name)) return nullptr;
  auto package = std::make_shared<const std::vector<std::uint8_t>>(
      DecryptPackage(source->Bytes(), name, source->passwords(), source->progress()));
  source->ReleaseBytes();
  const std::shared_ptr<WorkbookSource> decrypted =
      WorkbookSource::Memory(*package, package, name, source->passwords(), source->progress());
  if (LooksLikeZip(decrypted->Head())) {
    for (const Format& format : kFormats) {
      if (format.sniff != LooksLikeZip) continue;
      if (std::unique_ptr<Workbook> book = format.open(decrypted)) return book;
    }
  }
  throw ReadError(name, NotASpreadsheet());
}

}  // namespace

std::span<const Format> Formats() { return kFormats; }

namespace {

// True iff `format` may read a file named `name` that starts with `head`.
bool MayRead(const Format& format, std::span<const std::uint8_t> head, const std::string& name) {
  return format.sniff(head) || (format.sniff_named != nullptr && format.sniff_named(head, name));
}

}  // namespace

void CheckHead(std::span<const std::uint8_t> head, const std::string& name) {
  if (head.empty()) throw ReadError(name, "the file is empty");
  for (const Format& format : kFormats) {
    if (MayRead(format, head, name)) return;
  }
  throw ReadError(name, NotASpreadsheet(head));
}

std::unique_ptr<Workbook> OpenWorkbook(const std::shared_ptr<WorkbookSource>& source) {
  const std::span<const std::uint8_t> head = source->Head();
  CheckHead(head, source->name());
  for (const Format& format : kFormats) {
    if (!MayRead(format, head, source->name())) continue;
    if (std::unique_ptr<Workbook> book = format.open(source)) return book;
  }
  throw ReadError(source->name(), NotASpreadsheet(head));
}

std::string NotASpreadsheet(std::span<const std::uint8_t> head) {
  if (LooksLikePlainText(head)) {
    return "not a spreadsheet file this program reads: " + PlainTextRefusal();
  }
  std::vector<std::string> names;
  for (const Format& format : kFormats) {
    if (format.listed_as != nullptr) names.emplace_back(format.listed_as);
  }
  std::string text = "not a spreadsheet file this program reads (";
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) text += i + 1 == names.size() ? ", or " : ", ";
    text += names[i];
  }
  return text + ")";
}

std::string FileDialogFilter() {
  std::string first;
  std::string all;
  for (const Format& format : kFormats) {
    if (format.listed_as == nullptr) continue;
    if (first.empty()) first = format.patterns;
    if (!all.empty()) all += ';';
    all += format.patterns;
  }
  return "(Excel File)|" + first + "|(All Workbooks)|" + all + "|(All Files)|*";
}

std::string FormatHelp() {
  std::string text;
  for (const Format& format : kFormats) {
    if (format.listed_as == nullptr) continue;
    // The names the file dialog shows it by: "*.xlsx;*.xlsm" as ".xlsx, .xlsm".
    std::string line = "  ";
    for (const char* c = format.patterns; *c != '\0'; ++c) {
      if (*c == ';') {
        line += ", ";
      } else if (*c != '*') {
        line += *c;
      }
    }
    line.resize(std::max<std::size_t>(line.size() + 2, 18), ' ');
    text += line + format.description + "\n";
  }
  return text;
}

namespace {

class RegistryService final : public SpreadsheetService {
 public:
  explicit RegistryService(PasswordSource* passwords) : passwords_(passwords) {}

  std::unique_ptr<Workbook> Open(const SpreadsheetInput& input, ReadProgress* progress) override {
    const std::shared_ptr<WorkbookSource> source =
        input.bytes_owner != nullptr ? WorkbookSource::Memory(input.bytes, input.bytes_owner,
                                                              input.path, passwords_, progress)
                                     : WorkbookSource::File(input.path, passwords_, progress);
    return OpenWorkbook(source);
  }

 private:
  PasswordSource* passwords_;
};

}  // namespace

std::unique_ptr<SpreadsheetService> NewSpreadsheetService(PasswordSource* passwords) {
  return std::make_unique<RegistryService>(passwords);
}

}  // namespace zerova
