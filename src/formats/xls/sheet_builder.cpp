#include "formats/xls/sheet_builder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "formats/common/little_endian.h"
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

// The number an RK value stands for ([MS-XLS] 2.5.217).
double RkNumber(std::uint32_t rk) {
  double value;
  if ((rk & 0x02) != 0) {
    value = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
  } else {
    const std::uint64_t bits = static_cast<std::uint64_t>(rk & 0xFFFFFFFCu) << 32;
    std::memcpy(&value, &bits, sizeof value);
  }
  return (rk & 0x01) != 0 ? value / 100 : value;
}

std::string NotAWorksheet(const SheetEntry& sheet, const char* kind) {
  return "the active sheet \"" + sheet.name + "\" is " + kind + ", not a worksheet";
}

// Reads one worksheet substream, a record at a time: one step per cell record kind.
class SheetBuilder {
 public:
  SheetBuilder(BiffRecordCursor& cursor, const WorkbookGlobals& globals, const SheetEntry& sheet,
               CodepageDecoder& decoder)
      : cursor_(cursor),
        globals_(globals),
        sheet_(sheet),
        decoder_(decoder),
        biff8_(globals.version == BiffVersion::kBiff8),
        cells_(std::make_unique<PooledSheet>()) {}

  std::unique_ptr<PooledSheet> Build();

 private:
  void CheckBof();
  void Handle(std::uint16_t id);

  // One step per record kind.
  void LabelSst(ByteSpan body);
  void Label(ByteSpan body);
  void Number(ByteSpan body);
  void Rk(ByteSpan body);
  void MulRk(ByteSpan body);
  void BoolErr(ByteSpan body);
  void Formula(ByteSpan body);
  void String();
  void Blank(ByteSpan body);
  void MulBlank(ByteSpan body);
  void WsBool(ByteSpan body);

  // Text stored in the record from `offset`: BIFF8's XLUnicodeString, or BIFF5's
  // 16-bit count and bytes in the workbook's code page.
  std::string InlineText(std::size_t offset);
  // Throws unless the workbook has a cell format (XF) numbered `xf`.
  void RequireXf(std::uint16_t xf);
  // A number in the cell format `xf`: a date when the format shows one.
  CellValue NumberValue(double number, std::uint16_t xf);
  CellValue ErrorValue(std::uint8_t code);
  // The cells of a MULRK or MULBLANK, each `size` bytes between the row and first
  // column and the last column; throws unless they fit the body.
  std::size_t MultipleCount(ByteSpan body, std::size_t size);
  // A blank cell matters only when it replaces a value put earlier.
  void PutBlank(std::uint16_t row, std::size_t column);
  // Puts the value of the cell whose row, column and XF index open `body`.
  void Put(ByteSpan body, CellValue value);
  void Put(std::uint16_t row, std::size_t column, CellValue value);

  // The cell's place in row order, plus one.
  static std::uint64_t Order(std::uint16_t row, std::size_t column) {
    return (static_cast<std::uint64_t>(row) << 32) + column + 1;
  }

  BiffRecordCursor& cursor_;
  const WorkbookGlobals& globals_;
  const SheetEntry& sheet_;
  CodepageDecoder& decoder_;
  const bool biff8_;
  std::unique_ptr<PooledSheet> cells_;
  std::uint64_t furthest_ = 0;    // the largest Order of a value put so far
  bool pending_string_ = false;   // a FORMULA's text result awaits its STRING record
  bool awaiting_string_ = false;  // while handling a record: pending_string_ before it
  std::uint16_t string_row_ = 0;
  std::size_t string_column_ = 0;
};

std::unique_ptr<PooledSheet> SheetBuilder::Build() {
  const bool has_bof = cursor_.Next() && cursor_.id() == biff::kBof;
  if (!has_bof) cursor_.Fail("damaged workbook: sheet \"" + sheet_.name + "\" has no BOF record");
  CheckBof();
  int depth = 0;  // of substreams nested in the sheet
  while (cursor_.Next()) {
    const std::uint16_t id = cursor_.id();
    if (id == biff::kBof) {
      ++depth;
    } else if (id == biff::kEof) {
      if (depth == 0) break;
      --depth;
    } else if (depth == 0) {
      Handle(id);
    }
  }
  cells_->Seal();
  return std::move(cells_);
}

void SheetBuilder::CheckBof() {
  cursor_.RequireBody(4);
  switch (GetU16(cursor_.body(), 2)) {
    case biff::kBofChart:
      cursor_.Fail(NotAWorksheet(sheet_, "a chart"));
    case biff::kBofMacroSheet:
      cursor_.Fail(NotAWorksheet(sheet_, "a macro sheet"));
    default:
      break;
  }
}

void SheetBuilder::Handle(std::uint16_t id) {
  const ByteSpan body = cursor_.body();
  awaiting_string_ = pending_string_;
  pending_string_ = false;
  switch (id) {
    case biff::kLabelSst:
      return LabelSst(body);
    case biff::kLabel:
    case biff::kRstring:
      return Label(body);
    case biff::kNumber:
      return Number(body);
    case biff::kRk:
      return Rk(body);
    case biff::kMulRk:
      return MulRk(body);
    case biff::kBoolErr:
      return BoolErr(body);
    case biff::kFormula:
      return Formula(body);
    case biff::kString:
      return String();
    case biff::kBlank:
      return Blank(body);
    case biff::kMulBlank:
      return MulBlank(body);
    case biff::kWsBool:
      return WsBool(body);
    default:  // SHRFMLA, ARRAY, TABLE and the like may stand between a FORMULA and its STRING
      pending_string_ = awaiting_string_;
      return;
  }
}

void SheetBuilder::LabelSst(ByteSpan body) {
  cursor_.RequireBody(10);
  const std::uint32_t index = GetU32(body, 6);
  if (index >= globals_.shared_strings.size()) {
    cursor_.Fail("SST index " + std::to_string(index) + " out of range (" +
                 std::to_string(globals_.shared_strings.size()) + " strings)");
  }
  Put(body, CellValue::Text(globals_.shared_strings[index]));
}

void SheetBuilder::Label(ByteSpan body) { Put(body, CellValue::Text(InlineText(6))); }

void SheetBuilder::Number(ByteSpan body) {
  cursor_.RequireBody(14);
  Put(body, NumberValue(GetDouble(body, 6), GetU16(body, 4)));
}

void SheetBuilder::Rk(ByteSpan body) {
  cursor_.RequireBody(10);
  Put(body, NumberValue(RkNumber(GetU32(body, 6)), GetU16(body, 4)));
}

void SheetBuilder::MulRk(ByteSpan body) {
  const std::size_t count = MultipleCount(body, 6);
  const std::uint16_t row = GetU16(body, 0);
  const std::uint16_t first = GetU16(body, 2);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = 4 + 6 * i;
    Put(row, first + i, NumberValue(RkNumber(GetU32(body, at + 2)), GetU16(body, at)));
  }
}

void SheetBuilder::BoolErr(ByteSpan body) {
  cursor_.RequireBody(8);
  const std::uint8_t value = body[6];
  Put(body, body[7] != 0 ? ErrorValue(value) : CellValue::Boolean(value != 0));
}

// FORMULA: its cached result; a text result stands in the STRING record after it.
void SheetBuilder::Formula(ByteSpan body) {
  cursor_.RequireBody(14);
  if (GetU16(body, 12) != 0xFFFF) {
    Put(body, NumberValue(GetDouble(body, 6), GetU16(body, 4)));
    return;
  }
  switch (body[6]) {
    case kResultString:
      Put(body, CellValue::Empty());  // until its STRING record comes
      pending_string_ = true;
      string_row_ = GetU16(body, 0);
      string_column_ = GetU16(body, 2);
      break;
    case kResultBoolean:
      Put(body, CellValue::Boolean(body[8] != 0));
      break;
    case kResultError:
      Put(body, ErrorValue(body[8]));
      break;
    case kResultEmpty:
      Put(body, CellValue::Empty());
      break;
    default:
      cursor_.Fail("damaged record " + BiffRecordCursor::Describe(cursor_.id()) +
                   ": unknown cached result type " + std::to_string(body[6]));
  }
}

// STRING: the text result of the FORMULA before it; a stray one is ignored.
void SheetBuilder::String() {
  if (awaiting_string_) Put(string_row_, string_column_, CellValue::Text(InlineText(0)));
}

void SheetBuilder::Blank(ByteSpan body) {
  cursor_.RequireBody(6);
  RequireXf(GetU16(body, 4));
  PutBlank(GetU16(body, 0), GetU16(body, 2));
}

void SheetBuilder::MulBlank(ByteSpan body) {
  const std::size_t count = MultipleCount(body, 2);
  const std::uint16_t row = GetU16(body, 0);
  const std::uint16_t first = GetU16(body, 2);
  for (std::size_t i = 0; i < count; ++i) {
    RequireXf(GetU16(body, 4 + 2 * i));
    PutBlank(row, first + i);
  }
}

void SheetBuilder::WsBool(ByteSpan body) {
  if (!body.empty() && (body[0] & kDialogSheet) != 0) {
    cursor_.Fail(NotAWorksheet(sheet_, "a dialog sheet"));
  }
  pending_string_ = awaiting_string_;
}

std::string SheetBuilder::InlineText(std::size_t offset) {
  if (biff8_) return BiffTextReader(cursor_, offset).UnicodeString();
  cursor_.RequireBody(offset + 2);
  const std::size_t length = GetU16(cursor_.body(), offset);
  cursor_.RequireBody(offset + 2 + length);
  return decoder_.Decode(cursor_.body().subspan(offset + 2, length));
}

void SheetBuilder::RequireXf(std::uint16_t xf) {
  if (xf >= globals_.xf_is_date.size()) {
    cursor_.Fail("cell XF index " + std::to_string(xf) + " out of range (" +
                 std::to_string(globals_.xf_is_date.size()) + " XF records)");
  }
}

CellValue SheetBuilder::NumberValue(double number, std::uint16_t xf) {
  RequireXf(xf);
  if (globals_.xf_is_date[xf] && std::isfinite(number)) {
    return CellValue::Date(number, globals_.date_system);
  }
  return CellValue::Number(number);
}

CellValue SheetBuilder::ErrorValue(std::uint8_t code) {
  CellError error;
  if (!CellErrorFromCode(code, &error)) {
    char buf[80];
    std::snprintf(buf, sizeof buf, "damaged record %s: unknown error code 0x%02X",
                  BiffRecordCursor::Describe(cursor_.id()).c_str(), code);
    cursor_.Fail(buf);
  }
  return CellValue::Error(error);
}

std::size_t SheetBuilder::MultipleCount(ByteSpan body, std::size_t size) {
  cursor_.RequireBody(6);
  const std::uint16_t first = GetU16(body, 2);
  const std::uint16_t last = GetU16(body, body.size() - 2);
  const std::size_t count = last >= first ? std::size_t{last} - first + 1u : 0;
  if (count == 0 || 6 + count * size > body.size()) {
    cursor_.Fail("damaged record " + BiffRecordCursor::Describe(cursor_.id()) + ": its columns " +
                 std::to_string(first) + " to " + std::to_string(last) +
                 " do not fit its body of " + std::to_string(body.size()) + " bytes");
  }
  return count;
}

// Cells come in row order, so only a blank at or before the furthest value put may
// replace one.
void SheetBuilder::PutBlank(std::uint16_t row, std::size_t column) {
  if (Order(row, column) <= furthest_) cells_->Put(row + 1, column + 1, CellValue::Empty());
}

void SheetBuilder::Put(ByteSpan body, CellValue value) {
  cursor_.RequireBody(6);
  RequireXf(GetU16(body, 4));
  Put(GetU16(body, 0), GetU16(body, 2), std::move(value));
}

void SheetBuilder::Put(std::uint16_t row, std::size_t column, CellValue value) {
  furthest_ = std::max(furthest_, Order(row, column));
  cells_->Put(row + 1, column + 1, std::move(value));
}

}  // namespace

std::unique_ptr<PooledSheet> BuildXlsSheet(BiffRecordCursor& cursor, const WorkbookGlobals& globals,
                                           const SheetEntry& sheet, CodepageDecoder& decoder) {
  return SheetBuilder(cursor, globals, sheet, decoder).Build();
}

}  // namespace zerova
