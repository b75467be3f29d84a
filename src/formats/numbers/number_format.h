// Number formats: which cell formats make a number a date or time.
//
// Shared by every reader, so one sheet saved in any format is judged the same way.
#ifndef ZEROVA_FORMATS_NUMBERS_NUMBER_FORMAT_H_
#define ZEROVA_FORMATS_NUMBERS_NUMBER_FORMAT_H_

#include <string_view>
#include <unordered_map>
#include <vector>

namespace zerova {

// True iff the format code shows a date or time: once quoted text, the character
// after '\', '_' (spacer) or '*' (fill), and every bracketed part except elapsed
// hours, minutes or seconds ([h], [hh], [mm], [ss], ...) are removed, it still holds
// y, m, d, h or s in either case. "General" never is.
// So "yyyy-mm-dd" and "[h]:mm" are dates; "_-* #,##0\ _D_M_-" and "[Red]0.00" are not.
bool IsDateFormatCode(std::string_view code);

// True iff `id` is a built-in date or time format: 14-22, 27-36, 45-47 or 50-58.
// Only for ids the workbook does not define itself.
bool IsBuiltInDateFormat(int id);

// The number formats a workbook defines, and which of its cell formats show dates:
// a format the workbook defines is judged by its code alone, any other id by the
// built-in list.
class DateFormats {
 public:
  // Records the workbook's own format `id` with its code (UTF-8). A later
  // definition of the same id replaces an earlier one.
  void Define(int id, std::string_view code) { defined_[id] = IsDateFormatCode(code); }

  // True iff format `id` shows a date or time.
  bool IsDate(int id) const;

  // For each format id of `cell_formats`, in order: IsDate(id).
  std::vector<bool> OfCells(const std::vector<int>& cell_formats) const;

 private:
  std::unordered_map<int, bool> defined_;
};

}  // namespace zerova

#endif  // ZEROVA_FORMATS_NUMBERS_NUMBER_FORMAT_H_
