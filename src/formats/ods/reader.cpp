#include "formats/ods/reader.h"

#include <functional>
#include <utility>

#include "formats/containers/zip_archive.h"
#include "formats/ods/content.h"
#include "formats/ods/names.h"
#include "formats/ods/settings.h"
#include "formats/xml/xml_root.h"
#include "formats/xml/xml_stream.h"

namespace zerova {
namespace {

// An OpenDocument spreadsheet's tables. The body is read once when the workbook
// opens, listing the tables and reading the active one on the way, which is
// kept for ReadSheet; any other table costs one more pass over the body.
class OdsWorkbook final : public Workbook {
 public:
  // Opens the body's XML from its start (the zip's content.xml, or the flat file).
  using BodyOpener = std::function<std::unique_ptr<XmlStream>()>;

  OdsWorkbook(std::shared_ptr<WorkbookSource> source, std::unique_ptr<ZipArchive> zip,
              BodyOpener open_body)
      : source_(std::move(source)), zip_(std::move(zip)), open_body_(std::move(open_body)) {}

  // Reads the settings' active table name, then the body.
  void Open(const std::function<std::string(XmlStream&)>& active_table) {
    std::unique_ptr<XmlStream> xml = open_body_();
    OdsTableWanted wanted;
    wanted.name = active_table(*xml);
    if (wanted.name.empty()) wanted.index = 0;  // the first table is active when none is named
    OdsBody body = ReadOdsBody(*xml, wanted, true);
    tables_ = std::move(body.tables);
    if (body.sheet != nullptr) {
      active_ = body.sheet_index;
      active_sheet_ = std::move(body.sheet);
    }
  }

  const std::vector<SheetInfo>& Sheets() override { return tables_; }
  std::size_t ActiveSheet() override { return active_; }

  std::unique_ptr<Worksheet> ReadSheet(std::size_t index) override {
    if (index == active_ && active_sheet_ != nullptr) return std::move(active_sheet_);
    std::unique_ptr<XmlStream> xml = open_body_();
    OdsTableWanted wanted;
    wanted.index = index;
    return ReadOdsBody(*xml, wanted, false).sheet;
  }

 private:
  std::shared_ptr<WorkbookSource> source_;
  std::unique_ptr<ZipArchive> zip_;  // null for a flat document
  BodyOpener open_body_;
  std::vector<SheetInfo> tables_;
  std::size_t active_ = 0;
  std::unique_ptr<Worksheet> active_sheet_;  // read on the way, until ReadSheet takes it
};

}  // namespace

bool LooksLikeOds(ZipArchive& zip) {
  if (!zip.Has("mimetype")) return false;
  std::string type = zip.ReadAll("mimetype", 256);
  while (!type.empty() && (type.back() == '\n' || type.back() == '\r' || type.back() == ' ')) {
    type.pop_back();
  }
  return type == kOdsMimeType;
}

std::unique_ptr<Workbook> OpenOds(const std::shared_ptr<WorkbookSource>& source) {
  std::unique_ptr<ZipArchive> zip = OpenZipArchive(*source);
  if (!LooksLikeOds(*zip)) return nullptr;
  ZipArchive& archive = *zip;
  const std::string active_table = ReadOdsActiveTable(archive);
  auto book = std::make_unique<OdsWorkbook>(source, std::move(zip), [&archive] {
    return std::make_unique<XmlStream>(archive.Open("content.xml"), archive.file());
  });
  book->Open([&active_table](XmlStream&) { return active_table; });
  return book;
}

bool LooksLikeFlatOds(std::span<const std::uint8_t> prefix) noexcept {
  XmlRoot root;
  return SniffXmlRoot(prefix, &root) && root.Is(kOdsOfficeNamespace, "document") &&
         root.Find(kOdsOfficeNamespace, "mimetype") == kOdsMimeType;
}

std::unique_ptr<Workbook> OpenFlatOds(const std::shared_ptr<WorkbookSource>& source) {
  WorkbookSource& file = *source;
  auto book = std::make_unique<OdsWorkbook>(source, nullptr, [&file] {
    return std::make_unique<XmlStream>(file.Bytes(), file.name(), file.progress());
  });
  // The settings stand ahead of the body in a flat document. They are read from a
  // stream of their own: read from the body's, a search for them through office:styles
  // would pass the hidden table styles by.
  book->Open([&file](XmlStream&) {
    XmlStream settings(file.Bytes(), file.name(), file.progress());
    return ReadOdsActiveTable(settings);
  });
  return book;
}

}  // namespace zerova
