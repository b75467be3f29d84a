// CellValue and CellView: what the spreadsheet service answers for one cell.
//
// A reader decides a cell's kind once, from what the file stores; nothing
// downstream parses text again. The conversion turns a cell into its text in
// exactly one place (conversion/cell_text.h). CellValue owns its text; CellView,
// what a Worksheet answers, refers to text the worksheet keeps.
#ifndef ZEROVA_SERVICES_CELL_VALUE_H_
#define ZEROVA_SERVICES_CELL_VALUE_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace zerova {

// The seven error values a cell can hold, with their BIFF codes ([MS-XLS] 2.5.10 BErr).
enum class CellError : std::uint8_t {
  kNull = 0x00,   // #NULL!
  kDiv0 = 0x07,   // #DIV/0!
  kValue = 0x0F,  // #VALUE!
  kRef = 0x17,    // #REF!
  kName = 0x1D,   // #NAME?
  kNum = 0x24,    // #NUM!
  kNA = 0x2A,     // #N/A
};

// Maps a BIFF error code to a CellError. Returns false for a code outside the seven.
bool CellErrorFromCode(std::uint8_t code, CellError* error);

// The error's display text: "#NULL!", "#DIV/0!", "#VALUE!", "#REF!", "#NAME?", "#NUM!", "#N/A".
const char* CellErrorText(CellError error);

// Maps an error's display text ("#DIV/0!", ...) to a CellError. Returns false for any other text.
bool CellErrorFromText(const std::string& text, CellError* error);

enum class DateSystem : std::uint8_t {
  k1900,  // day 0 is 1899-12-31; serial 60 is the fictional 1900-02-29
  k1904,  // day 0 is 1904-01-01
};

enum class CellKind : std::uint8_t { kEmpty, kText, kNumber, kDate, kBoolean, kError };

struct CellView;

struct CellValue {
  using Kind = CellKind;

  CellValue() = default;
  // A copy of `view`, its text included. Implicit, so a view reads as a value.
  CellValue(const CellView& view);

  Kind kind = Kind::kEmpty;
  bool boolean = false;                        // kBoolean
  CellError error = CellError::kNull;          // kError
  DateSystem date_system = DateSystem::k1900;  // kDate
  double number = 0;                           // kNumber; kDate: the serial in `date_system`
  std::string text;                            // kText: UTF-8

  static CellValue Empty() { return CellValue(); }
  static CellValue Text(std::string utf8) {
    CellValue v;
    v.kind = Kind::kText;
    v.text = std::move(utf8);
    return v;
  }
  static CellValue Number(double n) {
    CellValue v;
    v.kind = Kind::kNumber;
    v.number = n;
    return v;
  }
  static CellValue Date(double serial, DateSystem system) {
    CellValue v;
    v.kind = Kind::kDate;
    v.number = serial;
    v.date_system = system;
    return v;
  }
  static CellValue Boolean(bool b) {
    CellValue v;
    v.kind = Kind::kBoolean;
    v.boolean = b;
    return v;
  }
  static CellValue Error(CellError e) {
    CellValue v;
    v.kind = Kind::kError;
    v.error = e;
    return v;
  }

  // Empty as the conversion's loops see it: no value, or text of length 0.
  // Numbers (zero included), dates, booleans and errors are never empty.
  bool IsEmpty() const { return kind == Kind::kEmpty || (kind == Kind::kText && text.empty()); }
};

// A cell's value whose text stays where its owner keeps it: a Worksheet answers
// these by value. The fields mean what CellValue's do; `text` is valid as long as
// its owner (the worksheet, or the CellValue viewed) lives unchanged.
struct CellView {
  using Kind = CellKind;

  CellView() = default;
  // Views `value`, which must outlive the view when it holds text. Implicit, so
  // CellText and the like take either.
  CellView(const CellValue& value)
      : kind(value.kind),
        boolean(value.boolean),
        error(value.error),
        date_system(value.date_system),
        number(value.number),
        text(value.text) {}

  Kind kind = Kind::kEmpty;
  bool boolean = false;
  CellError error = CellError::kNull;
  DateSystem date_system = DateSystem::k1900;
  double number = 0;
  std::string_view text;

  // Empty as CellValue::IsEmpty says.
  bool IsEmpty() const { return kind == Kind::kEmpty || (kind == Kind::kText && text.empty()); }
};

inline CellValue::CellValue(const CellView& view)
    : kind(view.kind),
      boolean(view.boolean),
      error(view.error),
      date_system(view.date_system),
      number(view.number),
      text(view.text) {}

}  // namespace zerova

#endif  // ZEROVA_SERVICES_CELL_VALUE_H_
