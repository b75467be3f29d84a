#include "support/biff_builder.h"

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cassert>
#include <memory>

namespace zerova::test {
namespace {

bool NeedsWide(std::u16string_view text) {
  return std::any_of(text.begin(), text.end(), [](char16_t c) { return c > 0xFF; });
}

std::u16string Units(const std::string& bytes) {  // one unit per byte
  std::u16string units;
  for (unsigned char b : bytes) units += static_cast<char16_t>(b);
  return units;
}

using OutputPtr = std::unique_ptr<GsfOutput, void (*)(gpointer)>;

}  // namespace

// A record body, little-endian.
struct BiffBuilder::Out {
  Bytes bytes;
  Out& U8(std::uint32_t v) {
    bytes.push_back(static_cast<std::uint8_t>(v));
    return *this;
  }
  Out& U16(std::uint32_t v) { return U8(v).U8(v >> 8); }
  Out& U32(std::uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
  Out& F64(double d) {
    const auto bits = std::bit_cast<std::uint64_t>(d);
    return U32(static_cast<std::uint32_t>(bits)).U32(static_cast<std::uint32_t>(bits >> 32));
  }
  Out& Cell(int row, int col, int xf) { return U16(row).U16(col).U16(xf); }
  Out& Chars(std::u16string_view text, bool wide) {
    for (char16_t c : text) wide ? U16(c) : U8(c);
    return *this;
  }
};

// A length of `length_bytes`, BIFF8's 8/16-bit flag, then the characters; 16-bit
// only in BIFF8 and only when some unit needs it.
BiffBuilder::Out BiffBuilder::Text(Out out, std::u16string_view text, int length_bytes) const {
  length_bytes == 1 ? out.U8(text.size()) : out.U16(text.size());
  const bool wide = version_ == Biff::k8 && NeedsWide(text);
  if (version_ == Biff::k8) out.U8(wide ? 1 : 0);
  return std::move(out.Chars(text, wide));
}

BiffBuilder& BiffBuilder::Record(std::uint16_t id, const Bytes& body) {
  const Bytes header = Out().U16(id).U16(body.size()).bytes;
  stream_.insert(stream_.end(), header.begin(), header.end());
  stream_.insert(stream_.end(), body.begin(), body.end());
  return *this;
}

BiffBuilder& BiffBuilder::Bof(Biff version, std::uint16_t type) {
  if (type != kGlobalsBof && sheets_placed_ < sheet_offsets_.size()) {
    const auto at = static_cast<std::uint32_t>(stream_.size());
    const std::size_t field = sheet_offsets_[sheets_placed_++];
    for (int i = 0; i < 4; ++i) stream_[field + i] = static_cast<std::uint8_t>(at >> (8 * i));
  }
  if (stream_name_.empty()) stream_name_ = version == Biff::k8 ? "Workbook" : "Book";
  const auto v = static_cast<std::size_t>(version);
  Out out;
  out.U16(std::array{0x0002, 0x0300, 0x0400, 0x0500, 0x0600}[v]).U16(type);
  if (version == Biff::k3 || version == Biff::k4) out.U16(0x0DBB);  // build
  if (version >= Biff::k5) out.U16(0x0DBB).U16(0x07CC);             // build, year
  if (version == Biff::k8) out.U32(0).U32(6);                       // history, lowest version
  return Record(std::array{0x0009, 0x0209, 0x0409, 0x0809, 0x0809}[v], out.bytes);
}

BiffBuilder& BiffBuilder::Codepage(std::uint16_t code_page) {
  return Record(0x0042, Out().U16(code_page).bytes);
}

BiffBuilder& BiffBuilder::Window1(std::uint16_t active_tab) {
  // Position and size, flags, then itabCur, itabFirst, ctabSel and wTabRatio.
  Out out = Out().U16(0).U16(0).U16(0x4000).U16(0x2000).U16(0x0038);
  return Record(0x003D, out.U16(active_tab).U16(0).U16(1).U16(0x0258).bytes);
}

BiffBuilder& BiffBuilder::Format(std::uint16_t id, const std::string& code) {
  if (version_ <= Biff::k3) return Record(0x001E, Text(Out(), Units(code), 1).bytes);
  return Record(0x041E, Text(Out().U16(id), Units(code), version_ == Biff::k8 ? 2 : 1).bytes);
}

// A cell XF: font 0, the format, parent 0, no styling. BIFF2: font, a spare byte,
// the format in 6 bits, alignment; BIFF3-4: font, format, then 10 bytes of styling.
BiffBuilder& BiffBuilder::Xf(std::uint16_t format_id) {
  switch (version_) {
    case Biff::k2:
      return Record(0x0043, Out().U8(0).U8(0).U8(format_id & 0x3F).U8(0).bytes);
    case Biff::k3:
    case Biff::k4: {
      Out out = Out().U8(0).U8(format_id);
      out.bytes.resize(12);
      return Record(version_ == Biff::k3 ? 0x0243 : 0x0443, out.bytes);
    }
    default: {
      Out out = Out().U16(0).U16(format_id);
      out.bytes.resize(version_ == Biff::k8 ? 20 : 16);
      return Record(0x00E0, out.bytes);
    }
  }
}

BiffBuilder& BiffBuilder::Boundsheet(const std::string& name, std::uint8_t type) {
  if (version_ <= Biff::k4) return Record(0x0085, Text(Out(), Units(name), 1).bytes);
  sheet_offsets_.push_back(stream_.size() + 4);  // filled in by the sheet's Bof
  return Record(0x0085, Text(Out().U32(0).U8(0).U8(type), Units(name), 1).bytes);  // visible
}

BiffBuilder& BiffBuilder::Sst(const std::vector<SstString>& strings,
                              const std::vector<SstSplit>& splits, std::uint32_t count) {
  std::vector<Out> pieces(1);
  pieces[0].U32(count != 0 ? count : strings.size()).U32(count != 0 ? count : strings.size());
  for (std::size_t i = 0; i < strings.size(); ++i) {
    const SstString& s = strings[i];
    const std::u16string_view text = s.text;
    std::vector<SstSplit> here;
    std::copy_if(splits.begin(), splits.end(), std::back_inserter(here),
                 [i](const SstSplit& split) { return split.string == i; });
    std::sort(here.begin(), here.end(), [](auto& a, auto& b) { return a.chars < b.chars; });
    auto split = here.begin();
    if (split != here.end() && split->chars == 0) pieces.emplace_back(), ++split;
    // Each piece of the characters has its own width: the first the string's, the
    // later ones their split's.
    const std::size_t first_end = split == here.end() ? text.size() : split->chars;
    bool wide = s.wide || NeedsWide(text.substr(0, first_end));
    pieces.back().U16(text.size()).U8((wide ? 1 : 0) | (s.ext.empty() ? 0 : 4) | (s.runs ? 8 : 0));
    if (s.runs != 0) pieces.back().U16(s.runs);
    if (!s.ext.empty()) pieces.back().U32(s.ext.size());
    std::size_t done = 0;
    for (; split != here.end(); ++split) {
      const std::size_t end = std::min(split->chars, text.size());
      pieces.back().Chars(text.substr(done, end - done), wide);
      done = end;
      pieces.emplace_back();
      wide = split->wide_after;
      if (done < text.size()) pieces.back().U8(wide ? 1 : 0);
    }
    pieces.back().Chars(text.substr(done), wide);
    for (int r = 0; r < s.runs; ++r) pieces.back().U16(r).U16(0);  // first character, font
    pieces.back().bytes.insert(pieces.back().bytes.end(), s.ext.begin(), s.ext.end());
  }
  Record(0x00FC, pieces[0].bytes);
  for (std::size_t i = 1; i < pieces.size(); ++i) Record(0x003C, pieces[i].bytes);
  return *this;
}

BiffBuilder& BiffBuilder::Label(int row, int col, const std::string& text, int xf) {
  return Label(row, col, Units(text), xf);
}

BiffBuilder::Out BiffBuilder::Cell(int row, int col, int xf) const {
  if (version_ != Biff::k2) return std::move(Out().Cell(row, col, xf));
  return std::move(Out().U16(row).U16(col).U8(std::min(xf, 63)).U8(xf & 0x3F).U8(0));
}

BiffBuilder& BiffBuilder::Label(int row, int col, const std::u16string& text, int xf) {
  if (version_ == Biff::k2) return Record(0x0004, Text(Cell(row, col, xf), text, 1).bytes);
  return Record(0x0204, Text(Cell(row, col, xf), text, 2).bytes);
}

// [MS-XLS] 2.4.269: the text, then the formatting runs (BIFF5: 1-byte count, 2 bytes a run).
BiffBuilder& BiffBuilder::RString(int row, int col, const std::string& text, int runs, int xf) {
  Out out = Text(Out().Cell(row, col, xf), Units(text), 2);
  version_ == Biff::k8 ? out.U16(runs) : out.U8(runs);
  for (int r = 0; r < runs; ++r) version_ == Biff::k8 ? out.U32(r) : out.U16(r);
  return Record(0x00D6, out.bytes);
}

BiffBuilder& BiffBuilder::LabelSst(int row, int col, std::uint32_t index, int xf) {
  return Record(0x00FD, Out().Cell(row, col, xf).U32(index).bytes);
}

BiffBuilder& BiffBuilder::Number(int row, int col, double value, int xf) {
  return Record(version_ == Biff::k2 ? 0x0003 : 0x0203, Cell(row, col, xf).F64(value).bytes);
}

BiffBuilder& BiffBuilder::Integer(int row, int col, std::uint16_t value, int xf) {
  return Record(0x0002, Cell(row, col, xf).U16(value).bytes);
}

BiffBuilder& BiffBuilder::Rk(int row, int col, std::uint32_t rk, int xf) {
  return Record(0x027E, Out().Cell(row, col, xf).U32(rk).bytes);
}

BiffBuilder& BiffBuilder::MulRk(int row, int first_col,
                                const std::vector<std::pair<int, std::uint32_t>>& rks) {
  Out out = Out().U16(row).U16(first_col);
  for (const auto& [xf, rk] : rks) out.U16(xf).U32(rk);
  return Record(0x00BD, out.U16(first_col + static_cast<int>(rks.size()) - 1).bytes);
}

BiffBuilder& BiffBuilder::BoolErr(int row, int col, std::uint8_t value, bool is_error, int xf) {
  const int id = version_ == Biff::k2 ? 0x0005 : 0x0205;
  return Record(id, Cell(row, col, xf).U8(value).U8(is_error).bytes);
}

// The cached result, flags, chn (BIFF5-8), and PtgInt 1 (the formula is never
// evaluated). BIFF2 stores the flags and the formula's size in a byte each.
BiffBuilder& BiffBuilder::Formula(int row, int col, FormulaCache cache, int xf) {
  Out out = Cell(row, col, xf);
  if (cache.type == 0xFFFF) out.F64(cache.number);
  if (cache.type != 0xFFFF) out.U8(cache.type).U8(0).U8(cache.value).U16(0).U8(0).U16(0xFFFF);
  if (version_ == Biff::k2) out.U8(0).U8(3);
  if (version_ == Biff::k3 || version_ == Biff::k4) out.U16(0).U16(3);
  if (version_ >= Biff::k5) out.U16(0).U32(0).U16(3);
  const int id = std::array{0x0006, 0x0206, 0x0406, 0x0006, 0x0006}[static_cast<int>(version_)];
  return Record(id, out.U8(0x1E).U16(1).bytes);
}

BiffBuilder& BiffBuilder::String(const std::u16string& text) {
  if (version_ == Biff::k2) return Record(0x0007, Text(Out(), text, 1).bytes);
  return Record(0x0207, Text(Out(), text, 2).bytes);
}

BiffBuilder& BiffBuilder::Blank(int row, int col, int xf) {
  return Record(version_ == Biff::k2 ? 0x0001 : 0x0201, Cell(row, col, xf).bytes);
}

BiffBuilder& BiffBuilder::MulBlank(int row, int first_col, int last_col, int xf) {
  Out out = Out().U16(row).U16(first_col);
  for (int c = first_col; c <= last_col; ++c) out.U16(xf);
  return Record(0x00BE, out.U16(last_col).bytes);
}

BiffBuilder& BiffBuilder::DropLast(std::size_t bytes) {
  stream_.resize(stream_.size() - std::min(bytes, stream_.size()));
  return *this;
}

BiffBuilder& BiffBuilder::CorruptByte(std::ptrdiff_t offset, std::uint8_t value) {
  const auto at = static_cast<std::size_t>(offset < 0 ? std::ssize(stream_) + offset : offset);
  assert(at < stream_.size());
  stream_[at] = value;
  return *this;
}

namespace {

std::uint32_t Get32(const Bytes& file, std::size_t at) {
  return file[at] | file[at + 1] << 8 | file[at + 2] << 16 |
         static_cast<std::uint32_t>(file[at + 3]) << 24;
}

void Set32(Bytes& file, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) file[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Swaps the first two sectors of the stream whose directory entry is the second
// one (the one stream written) in the compound file `file` ([MS-CFB] 2.2-2.6,
// 512-byte sectors), in the file and in its FAT chain, so that the stream reads
// the same but its sectors no longer follow each other.
void SwapFirstTwoSectors(Bytes& file) {
  constexpr std::size_t kSector = 512;
  const auto offset = [](std::uint32_t sector) { return (sector + 1) * kSector; };
  // Where the FAT entry of `sector` is; the first 109 FAT sectors are listed in the header.
  const auto fat = [&](std::uint32_t sector) {
    return offset(Get32(file, 0x4C + 4 * (sector / 128))) + 4 * (sector % 128);
  };
  const std::size_t entry = offset(Get32(file, 0x30)) + 128;  // the directory's second entry
  const std::uint32_t a = Get32(file, entry + 0x74);
  const std::uint32_t b = Get32(file, fat(a));
  const std::uint32_t after = Get32(file, fat(b));
  std::swap_ranges(file.begin() + static_cast<std::ptrdiff_t>(offset(a)),
                   file.begin() + static_cast<std::ptrdiff_t>(offset(a) + kSector),
                   file.begin() + static_cast<std::ptrdiff_t>(offset(b)));
  Set32(file, entry + 0x74, b);
  Set32(file, fat(b), a);
  Set32(file, fat(a), after);
}

}  // namespace

Bytes BiffBuilder::Build(bool interleaved, std::uint32_t extra) const {
  OutputPtr memory(gsf_output_memory_new(), g_object_unref);
  {
    OutputPtr ole(GSF_OUTPUT(gsf_outfile_msole_new(memory.get())), g_object_unref);
    const std::string name = stream_name_.empty() ? "Workbook" : stream_name_;
    OutputPtr stream(gsf_outfile_new_child(GSF_OUTFILE(ole.get()), name.c_str(), FALSE),
                     g_object_unref);
    gsf_output_write(stream.get(), stream_.size(), stream_.data());
    gsf_output_close(stream.get());
    gsf_output_close(ole.get());
  }
  const guint8* data = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(memory.get()));
  const auto size = static_cast<std::size_t>(gsf_output_size(memory.get()));
  Bytes file(data, data + size);  // closing the compound file closed `memory` too
  if (interleaved) {
    assert(stream_.size() >= 4096);  // smaller streams lie in the mini stream
    SwapFirstTwoSectors(file);
  }
  if (extra > 0) {
    assert(stream_.size() >= 4096);
    const std::size_t size_field = (Get32(file, 0x30) + 1) * 512 + 128 + 0x78;
    Set32(file, size_field, Get32(file, size_field) + extra);
  }
  return file;
}

std::uint32_t BiffBuilder::RkInt(std::int32_t value, bool x100) {
  return (static_cast<std::uint32_t>(value) << 2) | 0x02 | (x100 ? 0x01 : 0);
}

std::uint32_t BiffBuilder::RkDouble(double value, bool x100) {
  const auto bits = std::bit_cast<std::uint64_t>(value);
  return (static_cast<std::uint32_t>(bits >> 32) & 0xFFFFFFFC) | (x100 ? 0x01 : 0);
}

namespace {

std::string GridCellText(int row, int column) {
  return "r" + std::to_string(row) + "c" + std::to_string(column);
}

}  // namespace

Bytes TextGridWorkbook(int rows, int columns) {
  BiffBuilder book;
  book.Bof(Biff::k8).Xf(0).Boundsheet("Grid").Eof();
  book.Bof(Biff::k8, kWorksheetBof);
  for (int c = 1; c <= columns; ++c) book.Label(0, c - 1, "Column " + std::to_string(c));
  for (int r = 2; r <= rows; ++r) {
    for (int c = 1; c <= columns; ++c) book.Label(r - 1, c - 1, GridCellText(r, c));
  }
  return book.Eof().Build();
}

std::string TextGridDocument(int rows, int columns) {
  std::string document = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Main>\r\n";
  for (int c = 1; c <= columns; ++c) {
    const std::string n = std::to_string(c);
    document += "<node id=\"n" + n + "\" lbl=\"Column " + n + "\">\r\n";
    for (int r = 2; r <= rows; ++r) document += "<value>" + GridCellText(r, c) + "</value>\r\n";
    document += "</node>\r\n";
  }
  return document + "</Main>\r\n";
}

}  // namespace zerova::test
