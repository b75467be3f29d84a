#include "formats/xlsb/sheet.h"

#include <cstdio>

#include "formats/xlsb/record_fields.h"
#include "formats/xlsb/record_stream.h"
#include "formats/xlsb/records.h"
#include "services/cell_address.h"

namespace zerova {
namespace {

// BrtWsProp's flag for a dialog sheet ([MS-XLSB] 2.4.820 fDialog), in its first byte.
constexpr std::uint8_t kDialogSheet = 0x10;

// A Cell's iStyleRef: the low 24 bits of its second field.
constexpr std::uint32_t kStyleMask = 0x00FFFFFF;

constexpr char kOutsideGrid[] = "a cell lies outside the sheet's 1,048,576 rows and 16,384 columns";
constexpr char kMalformedValue[] = "a cell's value is malformed";

bool IsCellRecord(std::uint32_t id) {
  return (id >= xlsb::kCellBlank && id <= xlsb::kFmlaError) || id == xlsb::kCellRString;
}

// Reads the worksheet part a record at a time: one step per cell record kind.
class SheetReader {
 public:
  SheetReader(ZipArchive& zip, const std::string& part, PackageSheetContext context)
      : records_(zip, part, SheetPartInMessages(part, context.sheet_name)),
        sheet_name_(std::move(context.sheet_name)),
        date_styles_(std::move(context.date_styles)),
        date_system_(context.date_system),
        // The shared strings are the store's first strings, so a cell names one by its index.
        sheet_(std::make_unique<SheetStore>(std::move(context.shared_strings))),
        shared_string_count_(sheet_->string_count()) {}

  std::unique_ptr<SheetStore> Read();

 private:
  void Row();
  void Cell(std::uint32_t id);
  void Number(double number, std::uint32_t style);
  void Boolean(std::uint8_t value);
  void Error(std::uint8_t code);
  void SharedString(std::uint32_t index);
  void Text(const std::string& text);

  // Throws Damaged naming the part and the cell being read.
  [[noreturn]] void CellFails(const char* fact, const std::string& what) const {
    records_.Damaged(fact, "cell " + CellReferenceText(row_, column_) + ": " + what);
  }

  XlsbRecordStream records_;
  std::string sheet_name_;
  std::vector<bool> date_styles_;
  DateSystem date_system_;
  std::unique_ptr<SheetStore> sheet_;
  std::uint32_t shared_string_count_;
  std::int64_t row_ = 1;  // the current row, and the cell being read
  std::int64_t column_ = 1;
};

std::unique_ptr<SheetStore> SheetReader::Read() {
  bool first = true;
  bool in_data = false;
  while (records_.Next()) {
    const std::uint32_t id = records_.id();
    if (first && id != xlsb::kBeginSheet) {
      records_.Damaged("the sheet's part holds no worksheet",
                       "no BrtBeginSheet record at its start");
    }
    first = false;
    if (id == xlsb::kWsProp) {
      if ((XlsbFields(records_).U8() & kDialogSheet) != 0) {
        records_.RefuseSheet("the sheet \"" + sheet_name_ +
                             "\" is a dialog sheet, not a worksheet");
      }
    } else if (id == xlsb::kBeginSheetData) {
      in_data = true;
    } else if (id == xlsb::kEndSheetData) {
      in_data = false;
    } else if (in_data && id == xlsb::kRowHdr) {
      Row();
    } else if (in_data && IsCellRecord(id)) {
      Cell(id);
    }
  }
  sheet_->Seal(records_.progress());
  return std::move(sheet_);
}

void SheetReader::Row() {
  const std::uint32_t rw = XlsbFields(records_).U32();
  if (rw >= kSheetRows) {
    records_.Damaged(kOutsideGrid, "row " + std::to_string(rw + 1ull) + " is past the last row");
  }
  row_ = static_cast<std::int64_t>(rw) + 1;
}

void SheetReader::Cell(std::uint32_t id) {
  XlsbFields fields(records_);
  const std::uint32_t col = fields.U32();
  const std::uint32_t style = fields.U32() & kStyleMask;
  if (col >= kSheetColumns) {
    records_.Damaged(kOutsideGrid, "a cell of row " + std::to_string(row_) + " is in column " +
                                       std::to_string(col + 1ull) + ", past the last column");
  }
  column_ = static_cast<std::int64_t>(col) + 1;
  switch (id) {
    case xlsb::kCellRk:
      return Number(fields.Rk(), style);
    case xlsb::kCellReal:
    case xlsb::kFmlaNum:
      return Number(fields.Double(), style);
    case xlsb::kCellBool:
    case xlsb::kFmlaBool:
      return Boolean(fields.U8());
    case xlsb::kCellError:
    case xlsb::kFmlaError:
      return Error(fields.U8());
    case xlsb::kCellIsst:
      return SharedString(fields.U32());
    case xlsb::kCellSt:
    case xlsb::kFmlaString:
      return Text(fields.WideString());
    case xlsb::kCellRString:
      return Text(fields.RichString());
    default:
      return;  // BrtCellBlank: formatting alone
  }
}

void SheetReader::Number(double number, std::uint32_t style) {
  if (style < date_styles_.size() && date_styles_[style]) {
    sheet_->PutDate(row_, column_, number, date_system_);
  } else {
    sheet_->PutNumber(row_, column_, number);
  }
}

void SheetReader::Boolean(std::uint8_t value) {
  if (value > 1) CellFails(kMalformedValue, "bad boolean " + std::to_string(value));
  sheet_->PutBoolean(row_, column_, value == 1);
}

void SheetReader::Error(std::uint8_t code) {
  CellError error;
  if (!CellErrorFromCode(code, &error)) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", code);
    CellFails(kMalformedValue, std::string("unknown error code ") + hex);
  }
  sheet_->PutError(row_, column_, error);
}

void SheetReader::SharedString(std::uint32_t index) {
  if (index >= shared_string_count_) {
    CellFails("a cell refers to a shared string that does not exist",
              "shared string " + std::to_string(index) + " out of range, " +
                  std::to_string(shared_string_count_) + " strings");
  }
  sheet_->PutSharedString(row_, column_, index);
}

void SheetReader::Text(const std::string& text) {
  if (!text.empty()) sheet_->PutText(row_, column_, text);
}

}  // namespace

std::unique_ptr<SheetStore> ReadXlsbSheet(ZipArchive& zip, const std::string& part,
                                          PackageSheetContext context) {
  return SheetReader(zip, part, std::move(context)).Read();
}

}  // namespace zerova
