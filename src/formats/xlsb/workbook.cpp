#include "formats/xlsb/workbook.h"

#include <vector>

#include "formats/containers/little_endian.h"
#include "formats/containers/opc_package.h"
#include "formats/xlsb/record_fields.h"
#include "formats/xlsb/record_stream.h"
#include "formats/xlsb/records.h"
#include "services/error.h"

namespace zerova {
namespace {

// BrtWbProp's flag for the 1904 date system ([MS-XLSB] 2.4.820 f1904).
constexpr std::uint32_t kDate1904 = 0x01;

// BrtBookView: itabCur follows xWn, yWn, dxWn, dyWn, iTabRatio and itabFirst.
constexpr std::size_t kActiveTabOffset = 24;

// True iff two strings (XLNullableWideString, XLWideString) starting at `offset`
// end exactly at the end of `body`.
bool StringsFill(std::span<const std::uint8_t> body, std::size_t offset) {
  for (int i = 0; i < 2; ++i) {
    if (body.size() - offset < 4) return false;
    std::uint32_t units = GetU32(body, offset);
    offset += 4;
    if (i == 0 && units == 0xFFFFFFFF) units = 0;
    if ((body.size() - offset) / 2 < units) return false;
    offset += std::size_t{units} * 2;
  }
  return offset == body.size();
}

// Where BrtBundleSh's strings start: after hsState and iTabID, or after one more
// 32-bit field in the files of Excel 2007's betas, whose records are 4 bytes longer.
std::size_t StringsOffset(std::span<const std::uint8_t> body) {
  return body.size() >= 12 && !StringsFill(body, 8) && StringsFill(body, 12) ? 12 : 8;
}

// BrtBundleSh's hsState ([MS-XLSB] 2.4.153): 0 visible, 1 hidden, 2 very hidden.
SheetVisibility VisibilityOf(std::uint32_t state) {
  if (state == 1) return SheetVisibility::kHidden;
  if (state == 2) return SheetVisibility::kVeryHidden;
  return SheetVisibility::kVisible;
}

// What the workbook part itself says.
WorkbookListing ParseWorkbookPart(ZipArchive& zip, const std::string& part) {
  XlsbRecordStream records(zip, part);
  WorkbookListing workbook;
  bool first = true;
  bool seen_view = false;
  while (records.Next()) {
    if (first && records.id() != xlsb::kBeginBook) {
      records.Damaged("its workbook part is not a binary workbook",
                      "no BrtBeginBook record at its start");
    }
    first = false;
    XlsbFields fields(records);
    switch (records.id()) {
      case xlsb::kWbProp:
        workbook.date1904 = (fields.U32() & kDate1904) != 0;
        break;
      case xlsb::kBookView:
        if (seen_view) break;
        seen_view = true;
        fields.Skip(kActiveTabOffset);
        workbook.active_tab = fields.U32();
        break;
      case xlsb::kBundleSh: {
        WorkbookListing::Sheet sheet;
        sheet.visibility = VisibilityOf(fields.U32());
        fields.Skip(StringsOffset(records.body()) - 4);
        sheet.relationship_id = fields.NullableWideString();
        sheet.name = fields.WideString();
        workbook.sheets.push_back(std::move(sheet));
        break;
      }
      default:
        break;
    }
  }
  return workbook;
}

}  // namespace

bool IsXlsbWorkbookPart(ZipArchive& zip, const std::string& part) {
  if (!zip.Has(part)) return false;
  ZipMember member = zip.Open(part);
  char header[2];
  std::size_t got = 0;
  while (got < sizeof header) {
    const std::size_t count = member.Read(header + got, sizeof header - got);
    if (count == 0) return false;
    got += count;
  }
  // BrtBeginBook (131) as its two-byte type.
  return static_cast<std::uint8_t>(header[0]) == 0x83 && header[1] == 0x01;
}

WorkbookParts ReadXlsbWorkbook(ZipArchive& zip, const std::string& workbook_part) {
  return FindWorkbookParts(zip, workbook_part, ParseWorkbookPart(zip, workbook_part));
}

StringTable ReadXlsbSharedStrings(ZipArchive& zip, const std::string& part) {
  XlsbRecordStream records(zip, part);
  StringTable strings;
  while (records.Next()) {
    if (records.id() == xlsb::kSstItem) strings.Add(XlsbFields(records).RichString());
  }
  return strings;
}

}  // namespace zerova
