#include "formats/xls/reader.h"

#include <utility>
#include <vector>

#include "formats/containers/little_endian.h"
#include "formats/containers/ole2_container.h"
#include "formats/text/codepage_decoder.h"
#include "formats/xls/record_cursor.h"
#include "formats/xls/record_decryption.h"
#include "formats/xls/records.h"
#include "formats/xls/sheet_builder.h"
#include "formats/xls/workbook_globals.h"
#include "services/error.h"

namespace zerova {
namespace {

// BOUNDSHEET sheet types ([MS-XLS] 2.4.28 dt).
constexpr std::uint8_t kSheetWorksheet = 0;
constexpr std::uint8_t kSheetMacro = 1;
constexpr std::uint8_t kSheetChart = 2;
constexpr std::uint8_t kSheetVbModule = 6;

SheetKind KindOf(const SheetEntry& sheet) {
  switch (sheet.type) {
    case kSheetWorksheet:  // or a dialog sheet, which its substream tells
      return SheetKind::kWorksheet;
    case kSheetMacro:
      return SheetKind::kMacro;
    case kSheetChart:
      return SheetKind::kChart;
    case kSheetVbModule:
      return SheetKind::kModule;
    default:
      return SheetKind::kOther;
  }
}

SheetVisibility VisibilityOf(const SheetEntry& sheet) {
  if (sheet.state == 1) return SheetVisibility::kHidden;
  if (sheet.state == 2) return SheetVisibility::kVeryHidden;
  return SheetVisibility::kVisible;
}

bool IsBofAt(ByteSpan stream, std::size_t offset, BiffVersion version) {
  return offset < stream.size() && stream.size() - offset >= 4 &&
         biff::IsBof(GetU16(stream, offset), version);
}

// Moves the cursor to the BOF of sheet `index`. BOUNDSHEET's offset is trusted
// when a BOF stands there; otherwise the sheets' substreams are counted in order
// from the end of the globals, as some writers get the offsets wrong.
void SeekSheet(BiffRecordCursor& cursor, ByteSpan stream, const WorkbookGlobals& globals,
               std::size_t index) {
  const std::size_t offset = globals.sheets[index].offset;
  if (offset >= globals.end && IsBofAt(stream, offset, globals.version)) {
    cursor.Seek(offset);
    return;
  }
  cursor.Seek(globals.end);
  std::size_t seen = 0;
  int depth = 0;
  while (cursor.Next()) {
    if (biff::IsBof(cursor.id(), globals.version)) {
      if (depth == 0 && seen++ == index) {
        cursor.Seek(cursor.offset());
        return;
      }
      ++depth;
    } else if (cursor.id() == biff::kEof && depth > 0) {
      --depth;
    }
  }
  cursor.Damaged("sheet \"" + globals.sheets[index].name + "\" is missing",
                 "no substream of its own after the workbook globals");
}

class XlsWorkbook final : public Workbook {
 public:
  XlsWorkbook(std::shared_ptr<WorkbookSource> source, WorkbookStream stream)
      : source_(std::move(source)), stream_(std::move(stream)) {
    BiffRecordCursor cursor(stream_.bytes(), source_->name(), source_->progress());
    globals_ = ReadWorkbookGlobals(cursor);
    for (const SheetEntry& entry : globals_.sheets) {
      sheets_.push_back({entry.name, KindOf(entry), VisibilityOf(entry)});
    }
  }

  const std::vector<SheetInfo>& Sheets() override { return sheets_; }
  std::size_t ActiveSheet() override { return globals_.active_sheet; }

  std::unique_ptr<Worksheet> ReadSheet(std::size_t index) override {
    const std::string& name = source_->name();
    BiffRecordCursor cursor(stream_.bytes(), name, source_->progress());
    // The shared strings go to the sheet read; a later sheet reads the globals again.
    WorkbookGlobals globals = std::exchange(globals_, {});
    if (globals.sheets.empty()) globals = ReadWorkbookGlobals(cursor);
    globals_.active_sheet = globals.active_sheet;
    const SheetEntry sheet = globals.sheets[index];
    SeekSheet(cursor, stream_.bytes(), globals, index);
    if (globals.version <= BiffVersion::kBiff4) ReadSheetHeader(cursor, sheet, globals);
    CodepageDecoder decoder(globals.codepage);
    return BuildXlsSheet(cursor, globals, sheet, decoder, std::move(globals.shared_strings));
  }

 private:
  std::shared_ptr<WorkbookSource> source_;  // the bytes the stream may view
  WorkbookStream stream_;
  WorkbookGlobals globals_;  // emptied once a sheet has taken its shared strings
  std::vector<SheetInfo> sheets_;
};

}  // namespace

bool LooksLikeBiffStream(std::span<const std::uint8_t> bytes) noexcept {
  if (bytes.size() < 8 || !biff::IsBof(GetU16(bytes, 0))) return false;
  const std::size_t length = GetU16(bytes, 2);
  if (length < 4 || length > 20 || length > bytes.size() - 4) return false;
  switch (GetU16(bytes, 6)) {
    case biff::kBofGlobals:
    case biff::kBofWorksheet:
    case biff::kBofChart:
    case biff::kBofMacroSheet:
    case biff::kBofWorkbookBiff4:
      return true;
    default:
      return false;
  }
}

bool LooksLikeXls(std::span<const std::uint8_t> head) noexcept {
  return LooksLikeOle2(head) || LooksLikeBiffStream(head);
}

std::unique_ptr<Workbook> OpenXls(const std::shared_ptr<WorkbookSource>& source) {
  const std::span<const std::uint8_t> bytes = source->Bytes();
  const std::string& name = source->name();
  WorkbookStream stream = LooksLikeOle2(bytes) ? ReadWorkbookStream(bytes, name, source->progress())
                                               : WorkbookStream(bytes);
  const bool encrypted = HoldsFilepass(stream.bytes());
  if (encrypted) stream.Writable();  // decrypted in a copy, never in the file's bytes
  if (stream.is_copy()) source->ReleaseBytes();
  if (encrypted) {
    DecryptWorkbookStream(stream.Writable(), name, source->passwords(), source->progress());
  }
  return std::make_unique<XlsWorkbook>(source, std::move(stream));
}

}  // namespace zerova
