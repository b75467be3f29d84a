#include "formats/xml2003/reader.h"

#include <algorithm>

#include "formats/numbers/value_text.h"
#include "formats/xml/xml_root.h"
#include "formats/xml/xml_stream.h"
#include "formats/xml2003/names.h"
#include "formats/xml2003/styles.h"
#include "formats/xml2003/worksheet.h"
#include "services/error.h"

namespace zerova {
namespace {

// An ActiveSheet at or above this names no sheet: the first is active.
constexpr std::uint64_t kMaxActiveSheet = std::uint64_t{1} << 31;

struct BookSettings {
  std::int64_t active = 0;
  DateSystem system = DateSystem::k1900;
  Xml2003Styles styles;
};

// Reads the ExcelWorkbook element the stream is on, through its end.
void ReadExcelWorkbook(XmlStream& xml, BookSettings& book) {
  for (ElementWalk walk(xml); walk.Next();) {
    if (xml.Namespace() != kExcelNamespace) {
      xml.SkipElement();
    } else if (xml.LocalName() == "ActiveSheet") {
      // A count Excel writes from 0; anything else leaves the first sheet active.
      std::uint64_t index = 0;
      book.active = ParseCountText(xml.ReadText(), &index) && index < kMaxActiveSheet
                        ? static_cast<std::int64_t>(index)
                        : 0;
    } else if (xml.LocalName() == "Date1904") {
      const std::string text = xml.ReadText();
      book.system = text == "False" || text == "0" ? DateSystem::k1900 : DateSystem::k1904;
    } else {
      xml.SkipElement();
    }
  }
}

// What a pass over the workbook found: every worksheet's name, and the one
// wanted (by index; -1: the active one) read.
struct Pass {
  std::vector<SheetInfo> sheets;
  std::unique_ptr<SheetStore> sheet;
  std::size_t sheet_index = 0;
};

// Reads the workbook from its start: the settings and styles ahead of the
// worksheets, and the worksheets, reading the one `wanted` and skipping the
// others; with `list_all` false, only up to the one wanted.
Pass ReadWorkbook(XmlStream& xml, BookSettings& book, std::int64_t wanted, bool list_all) {
  Pass pass;
  while (xml.Next()) {
    if (xml.node() != XmlStream::Node::kStart) continue;
    if (xml.Depth() == 0) {
      if (xml.LocalName() != "Workbook" || xml.Namespace() != kSpreadsheetNamespace) {
        xml.Fail("not an XML Spreadsheet workbook");
      }
      continue;
    }
    if (xml.Depth() != 1) continue;
    if (xml.LocalName() == "ExcelWorkbook" && xml.Namespace() == kExcelNamespace) {
      ReadExcelWorkbook(xml, book);
    } else if (xml.LocalName() == "Styles" && xml.Namespace() == kSpreadsheetNamespace) {
      book.styles.Read(xml);
    } else if (xml.LocalName() == "Worksheet" && xml.Namespace() == kSpreadsheetNamespace) {
      SheetInfo info;
      xml.Attribute(kSpreadsheetNamespace, "Name", &info.name);
      const std::int64_t index = static_cast<std::int64_t>(pass.sheets.size());
      const bool read = pass.sheet == nullptr && index == (wanted < 0 ? book.active : wanted);
      Xml2003Sheet sheet = ReadXml2003Worksheet(xml, book.styles, book.system, read);
      info.visibility = sheet.visibility;
      pass.sheets.push_back(std::move(info));
      if (read) {
        pass.sheet = std::move(sheet.cells);
        pass.sheet_index = static_cast<std::size_t>(index);
        if (!list_all) return pass;
      }
    } else {
      xml.SkipElement();  // document properties, names, custom XML
    }
  }
  if (pass.sheets.empty()) xml.Damaged("the workbook holds no sheets", "no Worksheet element");
  return pass;
}

// An XML Spreadsheet 2003 workbook. It is read through once when it opens,
// listing the worksheets and reading the active one on the way, which is kept
// for ReadSheet; any other worksheet costs one more pass.
class Xml2003Workbook final : public Workbook {
 public:
  explicit Xml2003Workbook(std::shared_ptr<WorkbookSource> source) : source_(std::move(source)) {
    XmlStream xml(source_->Bytes(), source_->name(), source_->progress());
    BookSettings book;
    Pass pass = ReadWorkbook(xml, book, -1, true);
    sheets_ = std::move(pass.sheets);
    // An ActiveSheet past the last worksheet: the first, as with none.
    if (pass.sheet != nullptr) {
      active_ = pass.sheet_index;
      active_sheet_ = std::move(pass.sheet);
    }
  }

  const std::vector<SheetInfo>& Sheets() override { return sheets_; }
  std::size_t ActiveSheet() override { return active_; }

  std::unique_ptr<Worksheet> ReadSheet(std::size_t index) override {
    if (index == active_ && active_sheet_ != nullptr) return std::move(active_sheet_);
    XmlStream xml(source_->Bytes(), source_->name(), source_->progress());
    BookSettings book;
    return ReadWorkbook(xml, book, static_cast<std::int64_t>(index), false).sheet;
  }

 private:
  std::shared_ptr<WorkbookSource> source_;
  std::vector<SheetInfo> sheets_;
  std::size_t active_ = 0;
  std::unique_ptr<Worksheet> active_sheet_;  // read on the way, until ReadSheet takes it
};

}  // namespace

bool LooksLikeXml2003(std::span<const std::uint8_t> prefix) noexcept {
  XmlRoot root;
  return SniffXmlRoot(prefix, &root) && root.Is(kSpreadsheetNamespace, "Workbook");
}

std::unique_ptr<Workbook> OpenXml2003(const std::shared_ptr<WorkbookSource>& source) {
  return std::make_unique<Xml2003Workbook>(source);
}

}  // namespace zerova
