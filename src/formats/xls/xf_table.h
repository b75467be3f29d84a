// XfTable: the number formats (FORMAT records) and cell formats (XF records) of an
// .xls file of any BIFF version, and which cell formats show a date or time.
//
// BIFF5 and BIFF8 number their formats by the id each FORMAT record states; BIFF2-4
// by the order of the FORMAT records, from 0 ([MS-XLS] 2.4.126 for the first, the
// OpenOffice.org "Microsoft Excel File Format" document for the others). An XF names
// its format by that number.
#ifndef ZEROVA_FORMATS_XLS_XF_TABLE_H_
#define ZEROVA_FORMATS_XLS_XF_TABLE_H_

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "formats/text/codepage_decoder.h"
#include "formats/xls/record_cursor.h"
#include "formats/xls/records.h"

namespace zerova {

class XfTable {
 public:
  explicit XfTable(BiffVersion version) : version_(version) {}

  // Takes the cursor's current record, a FORMAT (0x041E, or BIFF2-3's 0x001E).
  // A code that runs past the record's end, its count or flags damaged, is kept as
  // far as it is stored. Throws ReadError when the record ends before the code's count.
  void Format(const BiffRecordCursor& cursor);

  // Takes the cursor's current record, an XF (0x00E0; BIFF4 0x0443, BIFF3 0x0243,
  // BIFF2 0x0043). Throws ReadError when it ends before its format number.
  void Xf(const BiffRecordCursor& cursor);

  std::size_t xf_count() const { return xf_formats_.size(); }

  // For each XF in order (`xf_is_date`) and for format numbers 0 to 63, which BIFF2
  // cells may name themselves (`format_is_date`): true iff the format shows a date
  // or time. A format the file defines is judged by its code, an 8-bit code (BIFF2-5)
  // decoded by `decoder` first; any other number by the built-in list.
  void Judge(CodepageDecoder& decoder, std::vector<bool>* xf_is_date,
             std::vector<bool>* format_is_date) const;

 private:
  BiffVersion version_;
  std::uint16_t next_format_ = 0;  // BIFF2-4: the number of the next FORMAT record
  std::vector<std::uint16_t> xf_formats_;
  std::unordered_map<std::uint16_t, std::string> codes_;  // as stored
};

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XLS_XF_TABLE_H_
