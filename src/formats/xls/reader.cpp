#include "formats/xls/reader.h"

#include <utility>
#include <vector>

#include "formats/common/codepage_decoder.h"
#include "formats/common/little_endian.h"
#include "formats/common/ole2_container.h"
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

// Refuses a sheet that BOUNDSHEET does not list as a worksheet.
void RequireWorksheet(const SheetEntry& sheet, const std::string& name) {
  const char* kind = nullptr;
  switch (sheet.type) {
    case kSheetWorksheet:
      return;
    case kSheetMacro:
      kind = "a macro sheet";
      break;
    case kSheetChart:
      kind = "a chart";
      break;
    case kSheetVbModule:
      kind = "a Visual Basic module";
      break;
    default:
      kind = "a sheet of an unknown type";
      break;
  }
  throw ReadError(name, NotAWorksheet(sheet, kind));
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
  cursor.Fail("damaged workbook: the substream of sheet \"" + globals.sheets[index].name +
              "\" is missing");
}

std::unique_ptr<Worksheet> ReadStream(ByteSpan stream, const std::string& name) {
  BiffRecordCursor cursor(stream, name);
  WorkbookGlobals globals = ReadWorkbookGlobals(cursor);
  const SheetEntry sheet = globals.sheets[globals.active_sheet];
  RequireWorksheet(sheet, name);
  SeekSheet(cursor, stream, globals, globals.active_sheet);
  if (globals.version <= BiffVersion::kBiff4) ReadSheetHeader(cursor, sheet, globals);
  CodepageDecoder decoder(globals.codepage);
  return BuildXlsSheet(cursor, globals, sheet, decoder, std::move(globals.shared_strings));
}

}  // namespace

bool LooksLikeBiffStream(std::span<const std::uint8_t> bytes) {
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

std::unique_ptr<Worksheet> ReadXls(std::span<const std::uint8_t> bytes, const std::string& name,
                                   PasswordSource* passwords,
                                   const std::function<void()>& release_bytes) {
  WorkbookStream stream =
      LooksLikeOle2(bytes) ? ReadWorkbookStream(bytes, name) : WorkbookStream(bytes);
  const bool encrypted = HoldsFilepass(stream.bytes());
  if (encrypted) stream.Writable();  // decrypted in a copy, never in the file's bytes
  if (stream.is_copy() && release_bytes) release_bytes();
  if (encrypted) DecryptWorkbookStream(stream.Writable(), name, passwords);
  return ReadStream(stream.bytes(), name);
}

}  // namespace zerova
