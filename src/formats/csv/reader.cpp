#include "formats/csv/reader.h"

#include <algorithm>

#include "formats/csv/delimited_text.h"
#include "formats/csv/text_encoding.h"
#include "formats/sheet/sheet_store.h"
#include "formats/sheet/single_sheet_workbook.h"
#include "services/cell_address.h"

namespace zerova {
namespace {

// How much of the text the delimiter is chosen from.
constexpr std::size_t kSampleBytes = 64 * 1024;

// The text of `bytes` in UTF-8: a view of `bytes` themselves when they are UTF-8,
// else of `decoded`, which holds them decoded. `cut`: `bytes` are a file's first bytes.
std::string_view Utf8Of(std::span<const std::uint8_t> bytes, bool cut, std::string& decoded,
                        ReadProgress* progress = nullptr) {
  const DetectedEncoding detected = DetectTextEncoding(bytes, cut, progress);
  bytes = bytes.subspan(detected.mark_size);
  if (detected.encoding == TextEncoding::kUtf8) {
    return std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }
  decoded = DecodeText(bytes, detected.encoding, progress);
  return decoded;
}

// True iff `text` holds no NUL and fewer than one control character in 64 besides
// TAB, CR and LF.
bool IsPrintable(std::string_view text) {
  std::size_t controls = 0;
  for (char c : text) {
    if (c == '\0') return false;
    if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\r' && c != '\n') ++controls;
  }
  return controls * 64 < text.size();
}

}  // namespace

bool LooksLikeDelimitedText(std::span<const std::uint8_t> prefix) noexcept {
  // The prefix may end anywhere in the file: in a character, or in a record.
  prefix = prefix.first(std::min(prefix.size(), kSampleBytes));
  std::string decoded;
  const std::string_view text = Utf8Of(prefix, true, decoded);
  // Text that opens with markup is a document of some other kind, never a table.
  const std::size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos || text[first] == '<') return false;
  return IsPrintable(text) && ChooseDelimiter(text, true) != '\0';
}

std::unique_ptr<Worksheet> ReadDelimitedText(std::span<const std::uint8_t> bytes,
                                             const std::string&, ReadProgress* progress) {
  std::string decoded;
  const std::string_view text = Utf8Of(bytes, false, decoded, progress);
  const std::string_view sample = text.substr(0, kSampleBytes);
  const char chosen = ChooseDelimiter(sample, sample.size() < text.size());
  DelimitedText records(text, chosen == '\0' ? ',' : chosen);
  InputMeter meter(progress, text.size());
  auto sheet = std::make_unique<SheetStore>();
  std::string field;
  bool record_ends = false;
  std::int64_t row = 1, column = 1;
  while (records.NextField(&field, &record_ends)) {
    meter.At(records.position());
    if (!field.empty()) {
      if (row > kSheetRows) {  // the first cell below the sheet: nothing further counts
        sheet->NoteRowsDropped();
        break;
      }
      if (column <= kSheetColumns) {
        sheet->PutText(row, column, field);
      } else {
        sheet->NoteColumnsDropped();
      }
    }
    if (record_ends) {
      ++row;
      column = 1;
    } else {
      ++column;
    }
  }
  sheet->Seal();
  return sheet;
}

std::unique_ptr<Workbook> OpenDelimitedText(const std::shared_ptr<WorkbookSource>& source) {
  return std::make_unique<SingleSheetWorkbook>(SheetNameOfFile(source->name()), [source] {
    return ReadDelimitedText(source->Bytes(), source->name(), source->progress());
  });
}

}  // namespace zerova
