#include "formats/xls/workbook_globals.h"

#include <unordered_map>

#include "formats/common/codepage_decoder.h"
#include "formats/common/little_endian.h"
#include "formats/common/number_format.h"
#include "formats/xls/records.h"
#include "formats/xls/text_reader.h"

namespace zerova {
namespace {

constexpr std::uint16_t kVersionBiff5 = 0x0500;
constexpr std::uint16_t kVersionBiff8 = 0x0600;

constexpr const char* kOlderThanBiff5 = "BIFF2-4 workbooks (Excel 2.x-4.x) are not supported";

// Reads the stream's first record, which must open the workbook globals, and
// returns the BIFF version it names.
BiffVersion ReadFirstBof(BiffRecordCursor& cursor) {
  if (!cursor.Next()) cursor.Fail("not an Excel workbook: the workbook stream is empty");
  switch (cursor.id()) {
    case biff::kBof:
      break;
    case biff::kBofBiff2:
    case biff::kBofBiff3:
    case biff::kBofBiff4:
      cursor.Fail(kOlderThanBiff5);
    default:
      cursor.Fail("not an Excel workbook: the workbook stream does not begin with a BOF record");
  }
  cursor.RequireBody(4);
  const std::uint16_t version = GetU16(cursor.body(), 0);
  const std::uint16_t type = GetU16(cursor.body(), 2);
  BiffVersion result;
  if (version == kVersionBiff8) {
    result = BiffVersion::kBiff8;
  } else if (version == kVersionBiff5) {
    result = BiffVersion::kBiff5;
  } else if (version >= 0x0200 && version <= 0x0400) {
    cursor.Fail(kOlderThanBiff5);
  } else {
    cursor.Fail("unknown BIFF version " + std::to_string(version) + " in the first BOF record");
  }
  if (type != biff::kBofGlobals) {
    cursor.Fail("not an Excel workbook: the workbook stream does not begin with workbook globals");
  }
  return result;
}

// Collects the globals record by record.
class GlobalsReader {
 public:
  explicit GlobalsReader(BiffRecordCursor& cursor) : cursor_(cursor) {}

  WorkbookGlobals Read() {
    globals_.version = ReadFirstBof(cursor_);
    biff8_ = globals_.version == BiffVersion::kBiff8;
    globals_.end = cursor_.stream_size();
    while (cursor_.Next()) {
      if (cursor_.id() == biff::kEof) {
        globals_.end = cursor_.position();
        break;
      }
      if (cursor_.id() == biff::kBof) {  // a sheet begins: the globals lacked their EOF
        globals_.end = cursor_.offset();
        break;
      }
      Handle();
    }
    Finish();
    return std::move(globals_);
  }

 private:
  void Handle() {
    const ByteSpan body = cursor_.body();
    switch (cursor_.id()) {
      case biff::kFilepass:
        cursor_.Fail("workbook is password-protected (encrypted)");
      case biff::kCodepage:
        cursor_.RequireBody(2);
        globals_.codepage = GetU16(body, 0);
        break;
      case biff::kDatemode:
        cursor_.RequireBody(2);
        globals_.date_system = GetU16(body, 0) == 1 ? DateSystem::k1904 : DateSystem::k1900;
        break;
      case biff::kFormat:
        Format();
        break;
      case biff::kXf:
        cursor_.RequireBody(4);
        xf_formats_.push_back(GetU16(body, 2));
        break;
      case biff::kSst:
        if (biff8_) SharedStrings();
        break;
      case biff::kBoundsheet:
        Boundsheet();
        break;
      case biff::kWindow1:
        if (!have_window1_) {
          cursor_.RequireBody(12);
          active_tab_ = GetU16(body, 10);
          have_window1_ = true;
        }
        break;
      default:
        break;
    }
  }

  // FORMAT: the format id, then its code. BIFF5 codes are bytes in the workbook's
  // code page and are judged once decoded (Finish): in a double-byte code page
  // such as Shift JIS, 0x5C may be the second half of a character, not a backslash.
  void Format() {
    cursor_.RequireBody(3);
    const std::uint16_t id = GetU16(cursor_.body(), 0);
    std::string code;
    if (biff8_) {
      code = BiffTextReader(cursor_, 2).UnicodeString();
    } else {
      const std::size_t length = cursor_.body()[2];
      cursor_.RequireBody(3 + length);
      code.assign(reinterpret_cast<const char*>(cursor_.body().data()) + 3, length);
    }
    format_codes_[id] = std::move(code);
  }

  // SST: two counts, then the strings, read for as long as the record and its
  // CONTINUE records last. The counts are hints that real files get wrong.
  void SharedStrings() {
    BiffTextReader reader(cursor_, 0);
    reader.U32();
    reader.U32();
    globals_.shared_strings.clear();
    while (!reader.AtEnd()) globals_.shared_strings.push_back(reader.RichExtendedString());
  }

  // BOUNDSHEET: the sheet's stream offset, visibility, type and name.
  void Boundsheet() {
    cursor_.RequireBody(6);
    SheetEntry sheet;
    sheet.offset = GetU32(cursor_.body(), 0);
    sheet.type = cursor_.body()[5];
    if (biff8_) {
      sheet.name = BiffTextReader(cursor_, 6).ShortUnicodeString();
    } else {
      cursor_.RequireBody(7);
      const std::size_t length = cursor_.body()[6];
      cursor_.RequireBody(7 + length);
      sheet.name.assign(reinterpret_cast<const char*>(cursor_.body().data()) + 7, length);
    }
    globals_.sheets.push_back(std::move(sheet));
  }

  void Finish() {
    if (globals_.sheets.empty()) cursor_.Fail("workbook has no sheets (no BOUNDSHEET records)");
    if (have_window1_ && active_tab_ < globals_.sheets.size()) globals_.active_sheet = active_tab_;
    if (!biff8_) {  // BIFF5 names and format codes are bytes in the workbook's code page
      CodepageDecoder decoder(globals_.codepage);
      const auto decode = [&decoder](std::string& text) {
        const std::string raw = std::move(text);
        text = decoder.Decode({reinterpret_cast<const std::uint8_t*>(raw.data()), raw.size()});
      };
      for (SheetEntry& sheet : globals_.sheets) decode(sheet.name);
      for (auto& [id, code] : format_codes_) decode(code);
    }
    // A format the workbook defines is judged by its code; any other id by the built-in list.
    globals_.xf_is_date.reserve(xf_formats_.size());
    for (std::uint16_t id : xf_formats_) {
      const auto defined = format_codes_.find(id);
      globals_.xf_is_date.push_back(defined != format_codes_.end()
                                        ? IsDateFormatCode(defined->second)
                                        : IsBuiltInDateFormat(id));
    }
  }

  BiffRecordCursor& cursor_;
  WorkbookGlobals globals_;
  bool biff8_ = true;
  bool have_window1_ = false;
  std::size_t active_tab_ = 0;
  std::vector<std::uint16_t> xf_formats_;
  std::unordered_map<std::uint16_t, std::string> format_codes_;  // as stored
};

}  // namespace

WorkbookGlobals ReadWorkbookGlobals(BiffRecordCursor& cursor) {
  return GlobalsReader(cursor).Read();
}

}  // namespace zerova
