#include "formats/xls/workbook_globals.h"

#include <filesystem>

#include "formats/containers/little_endian.h"
#include "formats/text/codepage_decoder.h"
#include "formats/xls/text_reader.h"
#include "formats/xls/xf_table.h"

namespace zerova {
namespace {

constexpr std::uint16_t kVersionBiff5 = 0x0500;
constexpr std::uint16_t kVersionBiff8 = 0x0600;
// The sizes of BIFF5's BOF (version, type, build, year) and BIFF8's (and flags).
constexpr std::size_t kBiff5BofSize = 8;
constexpr std::size_t kBiff8BofSize = 16;

// The stream's first record, a BOF: the BIFF version it names and its substream type.
struct FirstBof {
  BiffVersion version;
  std::uint16_t type;
  bool named = true;  // false: the version was told from the BOF's size and the records
};

// The version of an Excel 2.x-4.x substream whose BOF does not name it, from the
// first of its records that only one version writes: BIFF2's own cell records,
// DIMENSIONS, ROW or XF; BIFF3's XF; BIFF4's XF or FORMAT. Looks no further than
// the first record of the cell table. Undecided, it is read as BIFF2, whose
// reading takes the later versions' records as well.
BiffVersion OldVersionOfRecords(ByteSpan stream, std::size_t position) {
  while (position <= stream.size() && stream.size() - position >= 4) {
    const std::uint16_t id = GetU16(stream, position);
    if (biff::IsBiff2CellRecord(id) || id == biff::kXfBiff2 || id == biff::kDimensionsBiff2 ||
        id == biff::kRowBiff2) {
      return BiffVersion::kBiff2;
    }
    if (id == biff::kXfBiff3) return BiffVersion::kBiff3;
    if (id == biff::kXfBiff4 || id == biff::kFormat) return BiffVersion::kBiff4;
    if (id == biff::kEof || biff::IsBof(id) || biff::OpensCellTable(id)) break;
    position += 4 + GetU16(stream, position + 2);
  }
  return BiffVersion::kBiff2;
}

// A BOF of BIFF5 and BIFF8 (0x0809) that names neither version, as some Excel
// 2.x-era writers leave it (version 0): its size tells BIFF8's and BIFF5's, a
// shorter one is an Excel 2.x-4.x stream's, whose records tell which (its cells
// may still be BIFF2's: WorkbookGlobals::biff2_cells).
BiffVersion InferVersion(const BiffRecordCursor& cursor) {
  const std::size_t size = cursor.body().size();
  if (size >= kBiff8BofSize) return BiffVersion::kBiff8;
  if (size >= kBiff5BofSize) return BiffVersion::kBiff5;
  return OldVersionOfRecords(cursor.stream(), cursor.position());
}

FirstBof ReadFirstBof(BiffRecordCursor& cursor) {
  if (!cursor.Next()) cursor.Damaged("the workbook is empty", "empty workbook stream");
  if (!biff::IsBof(cursor.id())) {
    cursor.Damaged("the workbook does not begin as an Excel workbook does",
                   "no BOF record at the start of the workbook stream");
  }
  cursor.RequireBody(4);
  const std::uint16_t version = GetU16(cursor.body(), 0);
  const std::uint16_t type = GetU16(cursor.body(), 2);
  switch (cursor.id()) {
    case biff::kBofBiff2:
      return {BiffVersion::kBiff2, type};
    case biff::kBofBiff3:
      return {BiffVersion::kBiff3, type};
    case biff::kBofBiff4:
      return {BiffVersion::kBiff4, type};
    default:
      break;
  }
  if (version == kVersionBiff8) return {BiffVersion::kBiff8, type};
  if (version == kVersionBiff5) return {BiffVersion::kBiff5, type};
  return {InferVersion(cursor), type, false};
}

// Collects globals record by record: a workbook's globals substream, or the records
// of a BIFF2-4 sheet before its cells.
class GlobalsReader {
 public:
  GlobalsReader(BiffRecordCursor& cursor, WorkbookGlobals& globals)
      : cursor_(cursor), globals_(globals), xfs_(globals.version) {}

  // The substream of workbook globals, after its BOF.
  void ReadWorkbook() {
    globals_.end = cursor_.stream_size();
    while (cursor_.Next()) {
      if (cursor_.id() == biff::kEof) {
        globals_.end = cursor_.position();
        break;
      }
      // A sheet begins: the globals lacked their EOF.
      if (biff::IsBof(cursor_.id(), globals_.version)) {
        globals_.end = cursor_.offset();
        break;
      }
      HandleWorkbook();
    }
    if (globals_.sheets.empty()) {
      cursor_.Damaged("the workbook holds no sheets", "no BOUNDSHEET records");
    }
    if (have_window1_ && active_tab_ < globals_.sheets.size()) globals_.active_sheet = active_tab_;
    CodepageDecoder decoder(globals_.codepage);
    if (globals_.version != BiffVersion::kBiff8) {  // names are bytes in the code page
      for (SheetEntry& sheet : globals_.sheets) {
        sheet.name = decoder.Decode(
            {reinterpret_cast<const std::uint8_t*>(sheet.name.data()), sheet.name.size()});
      }
    }
    xfs_.Judge(decoder, &globals_.xf_is_date, &globals_.format_is_date);
  }

  // A BIFF2-4 sheet's records up to its cells.
  void ReadSheetHeader() {
    while (cursor_.Next()) {
      const std::uint16_t id = cursor_.id();
      if (id == biff::kEof || biff::IsBof(id, globals_.version) || biff::OpensCellTable(id)) {
        cursor_.Seek(cursor_.offset());
        break;
      }
      HandleShared();
    }
    if (xfs_.xf_count() == 0 && !globals_.xf_is_date.empty()) return;  // the workbook's
    CodepageDecoder decoder(globals_.codepage);
    xfs_.Judge(decoder, &globals_.xf_is_date, &globals_.format_is_date);
  }

 private:
  bool old() const { return globals_.version <= BiffVersion::kBiff4; }

  // The records a workbook's globals and a BIFF2-4 sheet's header share; false for others.
  bool HandleShared() {
    const ByteSpan body = cursor_.body();
    switch (cursor_.id()) {
      case biff::kFilepass:  // a BIFF5 or BIFF8 stream was decrypted before it was read
        if (old())
          cursor_.Fail("the workbook is encrypted with a method this program does not read");
        return true;
      case biff::kCodepage:
        cursor_.RequireBody(2);
        globals_.codepage = GetU16(body, 0);
        return true;
      case biff::kDatemode:
        cursor_.RequireBody(2);
        globals_.date_system = GetU16(body, 0) == 1 ? DateSystem::k1904 : DateSystem::k1900;
        return true;
      case biff::kFormat:
        xfs_.Format(cursor_);
        return true;
      case biff::kFormatBiff2:
        if (old()) xfs_.Format(cursor_);
        return true;
      case biff::kXf:
        if (!old()) xfs_.Xf(cursor_);
        return true;
      case biff::kXfBiff2:
      case biff::kXfBiff3:
      case biff::kXfBiff4:
        if (old()) xfs_.Xf(cursor_);
        return true;
      default:
        return false;
    }
  }

  void HandleWorkbook() {
    if (HandleShared()) return;
    const ByteSpan body = cursor_.body();
    switch (cursor_.id()) {
      case biff::kSst:
        if (globals_.version == BiffVersion::kBiff8) SharedStrings();
        break;
      case biff::kBoundsheet:
        Boundsheet();
        break;
      case biff::kWindow1:  // BIFF2-4's WINDOW1 ends before the active tab
        if (!have_window1_ && body.size() >= 12) {
          active_tab_ = GetU16(body, 10);
          have_window1_ = true;
        }
        break;
      default:
        break;
    }
  }

  // SST: two counts, then the strings, read for as long as the record and its
  // CONTINUE records last. The counts are hints that real files get wrong.
  void SharedStrings() {
    BiffTextReader reader(cursor_, 0);
    reader.U32();
    reader.U32();
    globals_.shared_strings = StringTable();
    // A table of millions of strings takes a while: a stop is noticed within it.
    StopCheck check(cursor_.progress(), 4096);
    while (!reader.AtEnd()) {
      check.Tick();
      globals_.shared_strings.Add(reader.RichExtendedString());
    }
  }

  // BOUNDSHEET: the sheet's stream offset, visibility, type and name; in a BIFF4
  // workbook only the name, its sheets standing in order after the globals.
  void Boundsheet() {
    SheetEntry sheet;
    if (old()) {
      sheet.name = ByteString(cursor_, 0, ByteCount::k8Bit);
    } else {
      cursor_.RequireBody(6);
      sheet.offset = GetU32(cursor_.body(), 0);
      sheet.state = cursor_.body()[4] & 0x03;
      sheet.type = cursor_.body()[5];
      sheet.name = globals_.version == BiffVersion::kBiff8
                       ? BiffTextReader(cursor_, 6).ShortUnicodeString()
                       : std::string(ByteString(cursor_, 6, ByteCount::k8Bit));
    }
    globals_.sheets.push_back(std::move(sheet));
  }

  BiffRecordCursor& cursor_;
  WorkbookGlobals& globals_;
  XfTable xfs_;
  bool have_window1_ = false;
  std::size_t active_tab_ = 0;
};

}  // namespace

WorkbookGlobals ReadWorkbookGlobals(BiffRecordCursor& cursor) {
  const FirstBof bof = ReadFirstBof(cursor);
  WorkbookGlobals globals;
  globals.version = bof.version;
  globals.biff2_cells =
      bof.version == BiffVersion::kBiff2 || (!bof.named && bof.version <= BiffVersion::kBiff4);
  if (bof.version <= BiffVersion::kBiff4 && bof.type != biff::kBofWorkbookBiff4) {
    // A worksheet file: Excel names its one sheet after the file.
    globals.sheets.push_back({0, 0, 0, std::filesystem::path(cursor.file()).stem().string()});
    return globals;
  }
  const std::uint16_t globals_type =
      bof.version <= BiffVersion::kBiff4 ? biff::kBofWorkbookBiff4 : biff::kBofGlobals;
  if (bof.type != globals_type) {
    cursor.Damaged("the workbook does not begin as an Excel workbook does",
                   "the first BOF record opens no workbook globals");
  }
  GlobalsReader(cursor, globals).ReadWorkbook();
  return globals;
}

void ReadSheetBof(BiffRecordCursor& cursor, const SheetEntry& sheet) {
  if (!cursor.Next() || !biff::IsBof(cursor.id())) {
    cursor.Damaged("sheet \"" + sheet.name + "\" is not where the workbook says it is",
                   "no BOF record at the start of its substream");
  }
  cursor.RequireBody(4);
  switch (GetU16(cursor.body(), 2)) {
    case biff::kBofChart:
      cursor.Fail(NotAWorksheet(sheet, "a chart"));
    case biff::kBofMacroSheet:
      cursor.Fail(NotAWorksheet(sheet, "a macro sheet"));
    default:
      break;
  }
}

void ReadSheetHeader(BiffRecordCursor& cursor, const SheetEntry& sheet, WorkbookGlobals& globals) {
  ReadSheetBof(cursor, sheet);
  GlobalsReader(cursor, globals).ReadSheetHeader();
}

std::string NotAWorksheet(const SheetEntry& sheet, const char* kind) {
  return "the sheet \"" + sheet.name + "\" is " + kind + ", not a worksheet";
}

}  // namespace zerova
