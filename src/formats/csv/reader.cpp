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

// Text that opens with markup is a document of some other kind, never a table.
bool OpensWithMarkup(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r\n");
  return first != std::string_view::npos && text[first] == '<';
}

// The text of a file's first bytes, which may end anywhere: in a character, or in a record.
std::string_view SampleOf(std::span<const std::uint8_t> prefix, std::string& decoded) {
  return Utf8Of(prefix.first(std::min(prefix.size(), kSampleBytes)), true, decoded);
}

// True iff `name` ends in `.` and `extension` (lower case), in any case.
bool EndsIn(std::string_view name, std::string_view extension) {
  if (name.size() <= extension.size() || name[name.size() - extension.size() - 1] != '.') {
    return false;
  }
  return std::equal(extension.begin(), extension.end(), name.end() - extension.size(),
                    [](char a, char b) { return a == (b >= 'A' && b <= 'Z' ? b - 'A' + 'a' : b); });
}

}  // namespace

bool LooksLikePlainText(std::span<const std::uint8_t> prefix) noexcept {
  std::string decoded;
  const std::string_view text = SampleOf(prefix, decoded);
  if (text.empty()) return !prefix.empty();  // a byte order mark alone: text with no cell
  return !OpensWithMarkup(text) && IsPrintable(text);
}

bool LooksLikeDelimitedText(std::span<const std::uint8_t> prefix) noexcept {
  std::string decoded;
  const std::string_view text = SampleOf(prefix, decoded);
  if (text.find_first_not_of(" \t\r\n") == std::string_view::npos) return false;
  return !OpensWithMarkup(text) && IsPrintable(text) && ChooseDelimiter(text, true) != '\0';
}

bool LooksLikeNamedText(std::span<const std::uint8_t> prefix, std::string_view name) noexcept {
  return (EndsIn(name, "csv") || EndsIn(name, "tsv") || EndsIn(name, "txt")) &&
         LooksLikePlainText(prefix);
}

std::string PlainTextRefusal() {
  return "plain text, but not a table; give it a name ending in .csv, .tsv or .txt to read it "
         "as one";
}

std::unique_ptr<Worksheet> ReadDelimitedText(std::span<const std::uint8_t> bytes,
                                             const std::string& file, ReadProgress* progress) {
  std::string decoded;
  const std::string_view text = Utf8Of(bytes, false, decoded, progress);
  const std::string_view sample = text.substr(0, kSampleBytes);
  const char chosen = ChooseDelimiter(sample, sample.size() < text.size());
  const char by_name = EndsIn(file, "tsv") || EndsIn(file, "txt") ? '\t' : ',';
  DelimitedText records(text, chosen == '\0' ? by_name : chosen);
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
