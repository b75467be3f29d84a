#include "formats/xls/sheet_builder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "formats/containers/little_endian.h"
#include "formats/numbers/rk_number.h"
#include "formats/xls/cell_header.h"
#include "formats/xls/records.h"
#include "formats/xls/text_reader.h"

namespace zerova {
namespace {

// WSBOOL's flag for a dialog sheet ([MS-XLS] 2.4.351 fDialog).
constexpr std::uint8_t kDialogSheet = 0x10;

// Cached formula result types, when the result's last two bytes are 0xFFFF ([MS-XLS] 2.5.133).
constexpr std::uint8_t kResultString = 0;
constexpr std::uint8_t kResultBoolean = 1;
constexpr std::uint8_t kResultError = 2;
constexpr std::uint8_t kResultEmpty = 3;

// Reads one worksheet substream, a record at a time: one step per cell record kind.
class SheetBuilder {
 public:
  SheetBuilder(BiffRecordCursor& cursor, const WorkbookGlobals& globals, const SheetEntry& sheet,
               CodepageDecoder& decoder, StringTable shared_strings)
      : cursor_(cursor),
        globals_(globals),
        sheet_(sheet),
        decoder_(decoder),
        biff2_(globals.biff2_cells),
        biff8_(globals.version == BiffVersion::kBiff8),
        headers_(cursor, globals),
        cells_(std::make_unique<SheetStore>(std::move(shared_strings))),
        shared_string_count_(cells_->string_count()) {}

  std::unique_ptr<SheetStore> Build();

 private:
  void Handle(std::uint16_t id);
  // BIFF2's own records (biff::IsBiff2CellRecord).
  void HandleBiff2(std::uint16_t id, ByteSpan body);

  // One step per record kind.
  void LabelSst(ByteSpan body, const CellHeader& cell);
  void Label(const CellHeader& cell, ByteCount count);
  void Number(ByteSpan body, const CellHeader& cell);
  void Integer(ByteSpan body, const CellHeader& cell);
  void Rk(ByteSpan body, const CellHeader& cell);
  void MulRk(ByteSpan body);
  void BoolErr(ByteSpan body, const CellHeader& cell);
  void Formula(ByteSpan body, const CellHeader& cell);
  void String(ByteCount count);
  void Blank(const CellHeader& cell);
  void MulBlank(ByteSpan body);
  void WsBool(ByteSpan body);

  // Text stored in the record from `offset`: BIFF8's XLUnicodeString, or an 8-bit
  // string with a `count` in the workbook's code page.
  std::string InlineText(std::size_t offset, ByteCount count, Overrun overrun = Overrun::kRefuse);
  // `number` as a date when `date` says its format shows one and it is finite,
  // else as a number.
  PackedValue NumberValue(double number, bool date) const {
    if (date && std::isfinite(number)) return PackedValue::Date(number, globals_.date_system);
    return PackedValue::Number(number);
  }
  // The error whose BIFF code is `code` ([MS-XLS] 2.5.97 BErr); throws for a code
  // outside the seven.
  PackedValue ErrorValue(std::uint8_t code) const;
  // The cells of a MULRK or MULBLANK, each `size` bytes between the row and first
  // column and the last column; throws unless they fit the body.
  std::size_t MultipleCount(ByteSpan body, std::size_t size);
  // A blank cell matters only when it replaces a value put earlier.
  void PutBlank(std::uint16_t row, std::size_t column);
  void Put(std::uint16_t row, std::size_t column, PackedValue value);
  void Put(const CellHeader& cell, PackedValue value) { Put(cell.row, cell.column, value); }

  // The cell's place in row order, plus one.
  static std::uint64_t Order(std::uint16_t row, std::size_t column) {
    return (static_cast<std::uint64_t>(row) << 32) + column + 1;
  }

  BiffRecordCursor& cursor_;
  const WorkbookGlobals& globals_;
  const SheetEntry& sheet_;
  CodepageDecoder& decoder_;
  const bool biff2_;
  const bool biff8_;
  CellHeaderReader headers_;
  std::unique_ptr<SheetStore> cells_;
  // The SST's strings, the first of cells_'s.
  const std::uint32_t shared_string_count_;
  std::uint64_t furthest_ = 0;    // the largest Order of a value put so far
  bool pending_string_ = false;   // a FORMULA's text result awaits its STRING record
  bool awaiting_string_ = false;  // while handling a record: pending_string_ before it
  std::uint16_t string_row_ = 0;
  std::size_t string_column_ = 0;
};

std::unique_ptr<SheetStore> SheetBuilder::Build() {
  // A BIFF2-4 sheet's BOF and formats were read with the globals (ReadSheetHeader).
  if (globals_.version >= BiffVersion::kBiff5) ReadSheetBof(cursor_, sheet_);
  int depth = 0;  // of substreams nested in the sheet
  while (cursor_.Next()) {
    const std::uint16_t id = cursor_.id();
    if (biff::IsBof(id, globals_.version)) {
      ++depth;
    } else if (id == biff::kEof) {
      if (depth == 0) break;
      --depth;
    } else if (depth == 0) {
      Handle(id);
    }
  }
  cells_->Seal(cursor_.progress());
  return std::move(cells_);
}

void SheetBuilder::Handle(std::uint16_t id) {
  const ByteSpan body = cursor_.body();
  awaiting_string_ = pending_string_;
  pending_string_ = false;
  if (biff2_ && biff::IsBiff2CellRecord(id)) return HandleBiff2(id, body);
  switch (id) {
    case biff::kLabelSst:
      return LabelSst(body, headers_.Read());
    case biff::kLabel:
    case biff::kRstring:
      return Label(headers_.Read(), ByteCount::k16Bit);
    case biff::kNumber:
      return Number(body, headers_.Read());
    case biff::kRk:
      return Rk(body, headers_.Read());
    case biff::kMulRk:
      return MulRk(body);
    case biff::kBoolErr:
      return BoolErr(body, headers_.Read());
    case biff::kFormula:
    case biff::kFormulaBiff3:
    case biff::kFormulaBiff4:
      return Formula(body, headers_.Read());
    case biff::kString:
      return String(ByteCount::k16Bit);
    case biff::kBlank:
      return Blank(headers_.Read());
    case biff::kMulBlank:
      return MulBlank(body);
    case biff::kWsBool:
      return WsBool(body);
    default:  // SHRFMLA, ARRAY, TABLE and the like may stand between a FORMULA and its STRING
      pending_string_ = awaiting_string_;
      return;
  }
}

// BIFF2 numbers its own cell records apart; a BIFF2 file may hold later ones too.
void SheetBuilder::HandleBiff2(std::uint16_t id, ByteSpan body) {
  switch (id) {
    case biff::kBlankBiff2:
      return Blank(headers_.ReadBiff2());
    case biff::kIntegerBiff2:
      return Integer(body, headers_.ReadBiff2());
    case biff::kNumberBiff2:
      return Number(body, headers_.ReadBiff2());
    case biff::kLabelBiff2:
      return Label(headers_.ReadBiff2(), ByteCount::k8Bit);
    case biff::kBoolErrBiff2:
      return BoolErr(body, headers_.ReadBiff2());
    case biff::kFormulaBiff2:
      return Formula(body, headers_.ReadBiff2());
    case biff::kStringBiff2:
      return String(ByteCount::k8Bit);
    default:  // IXFE
      headers_.Ixfe();
      pending_string_ = awaiting_string_;
      return;
  }
}

void SheetBuilder::LabelSst(ByteSpan body, const CellHeader& cell) {
  cursor_.RequireBody(10);
  const std::uint32_t index = GetU32(body, 6);
  if (index >= shared_string_count_) {
    cursor_.Damaged("a cell refers to a shared string that does not exist",
                    "SST index " + std::to_string(index) + " out of range, " +
                        std::to_string(shared_string_count_) + " strings");
  }
  Put(cell, PackedValue::String(index));
}

void SheetBuilder::Label(const CellHeader& cell, ByteCount count) {
  Put(cell, cells_->Text(InlineText(cell.value, count)));
}

void SheetBuilder::Number(ByteSpan body, const CellHeader& cell) {
  cursor_.RequireBody(cell.value + 8);
  Put(cell, NumberValue(GetDouble(body, cell.value), cell.date));
}

// INTEGER (BIFF2): an unsigned 16-bit number.
void SheetBuilder::Integer(ByteSpan body, const CellHeader& cell) {
  cursor_.RequireBody(cell.value + 2);
  Put(cell, NumberValue(GetU16(body, cell.value), cell.date));
}

void SheetBuilder::Rk(ByteSpan body, const CellHeader& cell) {
  cursor_.RequireBody(cell.value + 4);
  Put(cell, NumberValue(RkNumber(GetU32(body, cell.value)), cell.date));
}

void SheetBuilder::MulRk(ByteSpan body) {
  const std::size_t count = MultipleCount(body, 6);
  const std::uint16_t row = GetU16(body, 0);
  const std::uint16_t first = GetU16(body, 2);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = 4 + 6 * i;
    Put(row, first + i,
        NumberValue(RkNumber(GetU32(body, at + 2)), headers_.IsDateXf(GetU16(body, at))));
  }
}

void SheetBuilder::BoolErr(ByteSpan body, const CellHeader& cell) {
  cursor_.RequireBody(cell.value + 2);
  const std::uint8_t value = body[cell.value];
  Put(cell, body[cell.value + 1] != 0 ? ErrorValue(value) : PackedValue::Boolean(value != 0));
}

// FORMULA: its cached result; a text result stands in the STRING record after it.
void SheetBuilder::Formula(ByteSpan body, const CellHeader& cell) {
  cursor_.RequireBody(cell.value + 8);
  if (GetU16(body, cell.value + 6) != 0xFFFF) {
    Put(cell, NumberValue(GetDouble(body, cell.value), cell.date));
    return;
  }
  const std::uint8_t value = body[cell.value + 2];
  switch (body[cell.value]) {
    case kResultString:
      Put(cell, PackedValue::Empty());  // until its STRING record comes
      pending_string_ = true;
      string_row_ = cell.row;
      string_column_ = cell.column;
      break;
    case kResultBoolean:
      Put(cell, PackedValue::Boolean(value != 0));
      break;
    case kResultError:
      Put(cell, ErrorValue(value));
      break;
    case kResultEmpty:
      Put(cell, PackedValue::Empty());
      break;
    default:
      cursor_.Malformed("unknown cached result type " + std::to_string(body[cell.value]));
  }
}

// STRING: the text result of the FORMULA before it; a stray one is ignored. Text
// cut short by the record's end is kept as far as it is stored.
void SheetBuilder::String(ByteCount count) {
  if (awaiting_string_) {
    Put(string_row_, string_column_, cells_->Text(InlineText(0, count, Overrun::kClip)));
  }
}

void SheetBuilder::Blank(const CellHeader& cell) { PutBlank(cell.row, cell.column); }

void SheetBuilder::MulBlank(ByteSpan body) {
  const std::size_t count = MultipleCount(body, 2);
  const std::uint16_t row = GetU16(body, 0);
  const std::uint16_t first = GetU16(body, 2);
  for (std::size_t i = 0; i < count; ++i) {
    headers_.RequireXf(GetU16(body, 4 + 2 * i));
    PutBlank(row, first + i);
  }
}

void SheetBuilder::WsBool(ByteSpan body) {
  if (!body.empty() && (body[0] & kDialogSheet) != 0) {
    cursor_.RefuseSheet(NotAWorksheet(sheet_, "a dialog sheet"));
  }
  pending_string_ = awaiting_string_;
}

std::string SheetBuilder::InlineText(std::size_t offset, ByteCount count, Overrun overrun) {
  if (biff8_) {
    BiffTextReader reader(cursor_, offset);
    return overrun == Overrun::kClip ? reader.ClippedUnicodeString() : reader.UnicodeString();
  }
  const std::string_view bytes = ByteString(cursor_, offset, count, overrun);
  return decoder_.Decode({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
}

PackedValue SheetBuilder::ErrorValue(std::uint8_t code) const {
  CellError error;
  if (!CellErrorFromCode(code, &error)) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "unknown error code 0x%02X", code);
    cursor_.Malformed(buf);
  }
  return PackedValue::Error(error);
}

std::size_t SheetBuilder::MultipleCount(ByteSpan body, std::size_t size) {
  cursor_.RequireBody(6);
  const std::uint16_t first = GetU16(body, 2);
  const std::uint16_t last = GetU16(body, body.size() - 2);
  const std::size_t count = last >= first ? std::size_t{last} - first + 1u : 0;
  if (count == 0 || 6 + count * size > body.size()) {
    cursor_.Malformed("its columns " + std::to_string(first) + " to " + std::to_string(last) +
                      " do not fit its body of " + std::to_string(body.size()) + " bytes");
  }
  return count;
}

// Cells come in row order, so only a blank at or before the furthest value put may
// replace one.
void SheetBuilder::PutBlank(std::uint16_t row, std::size_t column) {
  if (Order(row, column) <= furthest_) cells_->PutEmpty(row + 1, column + 1);
}

void SheetBuilder::Put(std::uint16_t row, std::size_t column, PackedValue value) {
  furthest_ = std::max(furthest_, Order(row, column));
  cells_->PutValue(row + 1, static_cast<std::int64_t>(column) + 1, value);
}

}  // namespace

std::unique_ptr<SheetStore> BuildXlsSheet(BiffRecordCursor& cursor, const WorkbookGlobals& globals,
                                          const SheetEntry& sheet, CodepageDecoder& decoder,
                                          StringTable shared_strings) {
  return SheetBuilder(cursor, globals, sheet, decoder, std::move(shared_strings)).Build();
}

}  // namespace zerova
