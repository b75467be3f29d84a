// BiffBuilder: small .xls files of every BIFF version, for the reader's tests, the
// benchmarks and the Excel 2.x-4.x fixture inputs (tests/data/make_binary_fixtures.cpp).
//
// Records are appended in call order to one workbook stream, "Workbook" for BIFF8,
// else "Book"; Build() wraps it in an OLE2 compound file (libgsf), BuildBare() gives
// it alone, as Excel 2.x-4.x stored it. Text is given as the file stores it: 8-bit
// `std::string` (BIFF8 compressed text: one byte per U+0000-U+00FF) or BIFF8's
// `std::u16string`. Write the BIFF5/8 BOUNDSHEET records first, then the sheets in
// their order: each sheet's BOF fills in its BOUNDSHEET's offset. BIFF2 cells keep
// `xf` in the low 6 bits of their first two attribute bytes.
#ifndef ZEROVA_TESTS_SUPPORT_BIFF_BUILDER_H_
#define ZEROVA_TESTS_SUPPORT_BIFF_BUILDER_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zerova::test {

using Bytes = std::vector<std::uint8_t>;

enum class Biff { k2, k3, k4, k5, k8 };

// BOF substream types and BOUNDSHEET sheet types ([MS-XLS] 2.4.21, 2.4.28).
inline constexpr std::uint16_t kGlobalsBof = 0x0005, kWorksheetBof = 0x0010, kChartBof = 0x0020,
                               kMacroBof = 0x0040, kBiff4WorkbookBof = 0x0100;
inline constexpr std::uint8_t kWorksheetType = 0, kMacroType = 1, kChartType = 2;

// A formula's cached result, as its FORMULA record holds it.
struct FormulaCache {
  static FormulaCache Number(double n) { return {0xFFFF, 0, n}; }
  static FormulaCache Text() { return {0, 0, 0}; }  // the text follows in a STRING record
  static FormulaCache Boolean(bool b) { return {1, b ? std::uint8_t{1} : std::uint8_t{0}, 0}; }
  static FormulaCache Error(std::uint8_t code) { return {2, code, 0}; }
  static FormulaCache EmptyText() { return {3, 0, 0}; }
  std::uint16_t type;  // 0xFFFF: a number
  std::uint8_t value;
  double number;
};

// One shared string. `runs` rich-text runs and `ext` phonetic bytes are written
// after the characters, as Excel writes them; readers skip both.
struct SstString {
  std::u16string text;
  bool wide = false;  // store 16-bit even when every unit fits a byte
  int runs = 0;
  Bytes ext = {};
};

// Where the SST breaks into a CONTINUE record: before the characters of string
// `string` at character `chars`. With 0 < chars < length the CONTINUE opens with the
// 8/16-bit flag byte and the rest is stored `wide_after`; chars == 0 breaks before
// the string's header, chars == length after its characters (no flag byte either).
struct SstSplit {
  std::size_t string;
  std::size_t chars;
  bool wide_after = false;
};

class BiffBuilder {
 public:
  // `version` decides how text is written; each Bof may still write any version.
  explicit BiffBuilder(Biff version = Biff::k8) : version_(version) {}

  // Any record, with its body as given.
  BiffBuilder& Record(std::uint16_t id, const Bytes& body);
  BiffBuilder& Bof(Biff version, std::uint16_t type = kGlobalsBof);
  BiffBuilder& Eof() { return Record(0x000A, {}); }

  // Workbook globals, and the formats of a BIFF2-4 sheet.
  BiffBuilder& Codepage(std::uint16_t code_page);
  BiffBuilder& Window1(std::uint16_t active_tab);
  // BIFF2-3 write no id (formats are numbered in order); BIFF4 writes it, unused.
  BiffBuilder& Format(std::uint16_t id, const std::string& code);
  BiffBuilder& Xf(std::uint16_t format_id);
  BiffBuilder& Boundsheet(const std::string& name, std::uint8_t type = kWorksheetType);
  // Counts default to the number of strings; `count` overrides both.
  BiffBuilder& Sst(const std::vector<SstString>& strings, const std::vector<SstSplit>& splits = {},
                   std::uint32_t count = 0);

  // Cells; `row` and `col` are 0-based, as stored.
  BiffBuilder& Label(int row, int col, const std::string& text, int xf = 0);
  BiffBuilder& Label(int row, int col, const std::u16string& text, int xf = 0);
  BiffBuilder& RString(int row, int col, const std::string& text, int runs, int xf = 0);
  BiffBuilder& LabelSst(int row, int col, std::uint32_t index, int xf = 0);
  BiffBuilder& Number(int row, int col, double value, int xf = 0);
  BiffBuilder& Integer(int row, int col, std::uint16_t value, int xf = 0);  // BIFF2's INTEGER
  BiffBuilder& Rk(int row, int col, std::uint32_t rk, int xf = 0);
  // One RK per column from `first_col`, each with its XF index.
  BiffBuilder& MulRk(int row, int first_col, const std::vector<std::pair<int, std::uint32_t>>& rks);
  BiffBuilder& BoolErr(int row, int col, std::uint8_t value, bool is_error, int xf = 0);
  BiffBuilder& Formula(int row, int col, FormulaCache cache, int xf = 0);
  BiffBuilder& String(const std::u16string& text);  // BIFF2-5: each unit is one byte
  BiffBuilder& Blank(int row, int col, int xf = 0);
  BiffBuilder& MulBlank(int row, int first_col, int last_col, int xf = 0);

  // Damage to the stream written so far.
  BiffBuilder& DropLast(std::size_t bytes);
  // A negative `offset` counts from the end: -1 is the last byte.
  BiffBuilder& CorruptByte(std::ptrdiff_t offset, std::uint8_t value);

  // The OLE2 file holding the stream; `interleaved`, its first two sectors swapped
  // in the file and in its sector chain, so they do not follow each other; its
  // directory entry declaring it `extra` bytes longer than its sector chain.
  // REQUIRES: a stream of 4,096 bytes or more for either.
  Bytes Build(bool interleaved = false, std::uint32_t extra = 0) const;
  // The stream alone.
  const Bytes& BuildBare() const { return stream_; }

  // RK encodings ([MS-XLS] 2.5.217): an integer, or a double's upper 30 bits; x100
  // stores the value times 100.
  static std::uint32_t RkInt(std::int32_t value, bool x100 = false);
  static std::uint32_t RkDouble(double value, bool x100 = false);

 private:
  struct Out;
  Out Text(Out out, std::u16string_view text, int length_bytes) const;
  // The cell's row, column and XF index, or BIFF2's attributes.
  Out Cell(int row, int col, int xf) const;

  Biff version_;
  Bytes stream_;
  std::string stream_name_;
  std::vector<std::size_t> sheet_offsets_;  // where each BOUNDSHEET's offset field is
  std::size_t sheets_placed_ = 0;
};

// A large BIFF8 workbook whose document is known, for runs long enough to watch,
// interrupt or cancel: `rows` rows of `columns` text cells, row 1 the labels
// "Column 1", "Column 2", ..., below them each cell "rRcC", its own row and
// column. REQUIRES: 1 <= rows <= 65536, 1 <= columns <= 256.
Bytes TextGridWorkbook(int rows, int columns);

// The document Zerova writes for TextGridWorkbook(rows, columns), from the rules
// of the output document: one node per column, one value per row below row 1.
std::string TextGridDocument(int rows, int columns);

}  // namespace zerova::test

#endif  // ZEROVA_TESTS_SUPPORT_BIFF_BUILDER_H_
