#include "support/biff_builder.h"

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>

#include <algorithm>
#include <bit>
#include <cassert>
#include <cmath>
#include <memory>

namespace zerova::testing {
namespace {

void Put16(Bytes& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(Bytes& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

void PutDouble(Bytes& out, double d) {
  const auto bits = std::bit_cast<std::uint64_t>(d);
  Put32(out, static_cast<std::uint32_t>(bits));
  Put32(out, static_cast<std::uint32_t>(bits >> 32));
}

void PutLength(Bytes& out, std::size_t length, int length_bytes) {
  if (length_bytes == 1) {
    out.push_back(static_cast<std::uint8_t>(length));
  } else {
    Put16(out, static_cast<std::uint32_t>(length));
  }
}

// Appends `text` as 8-bit or 16-bit characters.
void PutChars(Bytes& out, std::u16string_view text, bool wide) {
  for (char16_t c : text) {
    if (wide) {
      Put16(out, c);
    } else {
      out.push_back(static_cast<std::uint8_t>(c));
    }
  }
}

bool NeedsWide(std::u16string_view text) {
  return std::any_of(text.begin(), text.end(), [](char16_t c) { return c > 0xFF; });
}

Bytes CellHeader(int row, int col, int xf) {
  Bytes body;
  Put16(body, static_cast<std::uint32_t>(row));
  Put16(body, static_cast<std::uint32_t>(col));
  Put16(body, static_cast<std::uint32_t>(xf));
  return body;
}

template <typename T, void (*Free)(gpointer)>
struct GDeleter {
  void operator()(T* p) const { Free(p); }
};
using OutputPtr = std::unique_ptr<GsfOutput, GDeleter<GsfOutput, g_object_unref>>;

}  // namespace

Bytes BiffBuilder::Text8(const std::string& text, int length_bytes) const {
  Bytes out;
  PutLength(out, text.size(), length_bytes);
  if (version_ == Biff::k8) out.push_back(0x00);
  out.insert(out.end(), text.begin(), text.end());
  return out;
}

Bytes BiffBuilder::Text16(const std::u16string& text, int length_bytes) const {
  Bytes out;
  PutLength(out, text.size(), length_bytes);
  const bool wide = version_ == Biff::k8 && NeedsWide(text);
  if (version_ == Biff::k8) out.push_back(wide ? 0x01 : 0x00);
  PutChars(out, text, wide);
  return out;
}

BiffBuilder& BiffBuilder::Record(std::uint16_t id, const Bytes& body) {
  Put16(stream_, id);
  Put16(stream_, static_cast<std::uint32_t>(body.size()));
  stream_.insert(stream_.end(), body.begin(), body.end());
  return *this;
}

BiffBuilder& BiffBuilder::Bof(Biff version, std::uint16_t type) {
  if (type != kGlobalsBof && sheets_placed_ < sheet_offsets_.size()) {
    const auto at = static_cast<std::uint32_t>(stream_.size());
    std::size_t field = sheet_offsets_[sheets_placed_++];
    for (int i = 0; i < 4; ++i) stream_[field + i] = static_cast<std::uint8_t>(at >> (8 * i));
  }
  if (stream_name_.empty() && !seen_bof_) stream_name_ = version == Biff::k8 ? "Workbook" : "Book";
  seen_bof_ = true;
  Bytes body;
  switch (version) {
    case Biff::k2:
    case Biff::k3:
    case Biff::k4: {
      const std::uint16_t id = version == Biff::k2 ? 0x0009 : version == Biff::k3 ? 0x0209 : 0x0409;
      Put16(body, version == Biff::k2 ? 0x0002 : version == Biff::k3 ? 0x0300 : 0x0400);
      Put16(body, type);
      return Record(id, body);
    }
    case Biff::k5:
      Put16(body, 0x0500);
      Put16(body, type);
      Put16(body, 0x0DBB);
      Put16(body, 0x07CC);
      return Record(0x0809, body);
    case Biff::k8:
      Put16(body, 0x0600);
      Put16(body, type);
      Put16(body, 0x0DBB);
      Put16(body, 0x07CC);
      Put32(body, 0);
      Put32(body, 0x06);
      return Record(0x0809, body);
  }
  return *this;
}

BiffBuilder& BiffBuilder::Codepage(std::uint16_t code_page) {
  Bytes body;
  Put16(body, code_page);
  return Record(0x0042, body);
}

BiffBuilder& BiffBuilder::Datemode(bool is_1904) {
  return Record(0x0022, {static_cast<std::uint8_t>(is_1904 ? 1 : 0), 0});
}

BiffBuilder& BiffBuilder::Window1(std::uint16_t active_tab) {
  Bytes body;
  for (std::uint32_t v : {0x0000, 0x0000, 0x4000, 0x2000, 0x0038}) Put16(body, v);
  Put16(body, active_tab);  // itabCur
  Put16(body, 0);           // itabFirst
  Put16(body, 1);           // ctabSel
  Put16(body, 0x0258);      // wTabRatio
  return Record(0x003D, body);
}

BiffBuilder& BiffBuilder::FilePass() {
  // RC4 encryption ([MS-XLS] 2.4.117): type, version, then salt, verifier and hash.
  Bytes body;
  Put16(body, 0x0001);
  Put16(body, 0x0001);
  Put16(body, 0x0001);
  body.resize(body.size() + 48, 0xA5);
  return Record(0x002F, body);
}

BiffBuilder& BiffBuilder::Format(std::uint16_t id, const std::string& code) {
  Bytes body;
  Put16(body, id);
  const Bytes text = Text8(code, version_ == Biff::k8 ? 2 : 1);
  body.insert(body.end(), text.begin(), text.end());
  return Record(0x041E, body);
}

BiffBuilder& BiffBuilder::Xf(std::uint16_t format_id) {
  Bytes body;
  Put16(body, 0);  // font
  Put16(body, format_id);
  body.resize(version_ == Biff::k8 ? 20 : 16, 0);  // a cell XF, parent 0, no styling
  return Record(0x00E0, body);
}

BiffBuilder& BiffBuilder::Boundsheet(const std::string& name, std::uint8_t type) {
  sheet_offsets_.push_back(stream_.size() + 4);
  Bytes body;
  Put32(body, 0);     // filled in by the sheet's Bof
  body.push_back(0);  // visible
  body.push_back(type);
  const Bytes text = Text8(name, 1);
  body.insert(body.end(), text.begin(), text.end());
  return Record(0x0085, body);
}

BiffBuilder& BiffBuilder::Sst(const std::vector<SstString>& strings,
                              const std::vector<SstSplit>& splits, std::uint32_t count) {
  std::vector<Bytes> pieces(1);
  const auto n = static_cast<std::uint32_t>(strings.size());
  Put32(pieces[0], count != 0 ? count : n);
  Put32(pieces[0], count != 0 ? count : n);
  for (std::size_t i = 0; i < strings.size(); ++i) {
    const SstString& s = strings[i];
    std::vector<SstSplit> here;
    for (const SstSplit& split : splits) {
      if (split.string == i) here.push_back(split);
    }
    std::sort(here.begin(), here.end(), [](auto& a, auto& b) { return a.chars < b.chars; });
    auto split = here.begin();
    if (split != here.end() && split->chars == 0) {
      pieces.emplace_back();
      ++split;
    }
    // Each piece of the characters has its own width: the first the string's, the
    // later ones their split's.
    std::size_t first_end = s.text.size();
    for (const SstSplit& split : here) {
      if (split.chars > 0 && split.chars < s.text.size())
        first_end = std::min(first_end, split.chars);
    }
    bool wide = s.wide || NeedsWide(std::u16string_view(s.text).substr(0, first_end));
    Put16(pieces.back(), static_cast<std::uint32_t>(s.text.size()));
    pieces.back().push_back(static_cast<std::uint8_t>(
        (wide ? 0x01 : 0) | (s.ext.empty() ? 0 : 0x04) | (s.runs != 0 ? 0x08 : 0)));
    if (s.runs != 0) Put16(pieces.back(), static_cast<std::uint32_t>(s.runs));
    if (!s.ext.empty()) Put32(pieces.back(), static_cast<std::uint32_t>(s.ext.size()));
    std::size_t done = 0;
    for (; split != here.end(); ++split) {
      const std::size_t end = std::min(split->chars, s.text.size());
      PutChars(pieces.back(), std::u16string_view(s.text).substr(done, end - done), wide);
      done = end;
      pieces.emplace_back();
      if (done < s.text.size()) {
        wide = split->wide_after;
        pieces.back().push_back(wide ? 0x01 : 0x00);
      }
    }
    PutChars(pieces.back(), std::u16string_view(s.text).substr(done), wide);
    for (int r = 0; r < s.runs; ++r) {
      Put16(pieces.back(), static_cast<std::uint32_t>(r));  // first character
      Put16(pieces.back(), 0);                              // font
    }
    pieces.back().insert(pieces.back().end(), s.ext.begin(), s.ext.end());
  }
  Record(0x00FC, pieces[0]);
  for (std::size_t i = 1; i < pieces.size(); ++i) Record(0x003C, pieces[i]);
  return *this;
}

BiffBuilder& BiffBuilder::Label(int row, int col, const std::string& text, int xf) {
  Bytes body = CellHeader(row, col, xf);
  const Bytes t = Text8(text, 2);
  body.insert(body.end(), t.begin(), t.end());
  return Record(0x0204, body);
}

BiffBuilder& BiffBuilder::Label(int row, int col, const std::u16string& text, int xf) {
  Bytes body = CellHeader(row, col, xf);
  const Bytes t = Text16(text, 2);
  body.insert(body.end(), t.begin(), t.end());
  return Record(0x0204, body);
}

BiffBuilder& BiffBuilder::RString(int row, int col, const std::string& text, int runs, int xf) {
  // [MS-XLS] 2.4.269: the text, then the formatting runs (BIFF5: 1-byte count, 2 bytes a run).
  Bytes body = CellHeader(row, col, xf);
  const Bytes t = Text8(text, 2);
  body.insert(body.end(), t.begin(), t.end());
  if (version_ == Biff::k8) {
    Put16(body, static_cast<std::uint32_t>(runs));
    for (int r = 0; r < runs; ++r) Put32(body, static_cast<std::uint32_t>(r));
  } else {
    body.push_back(static_cast<std::uint8_t>(runs));
    for (int r = 0; r < runs; ++r) Put16(body, static_cast<std::uint32_t>(r));
  }
  return Record(0x00D6, body);
}

BiffBuilder& BiffBuilder::LabelSst(int row, int col, std::uint32_t index, int xf) {
  Bytes body = CellHeader(row, col, xf);
  Put32(body, index);
  return Record(0x00FD, body);
}

BiffBuilder& BiffBuilder::Number(int row, int col, double value, int xf) {
  Bytes body = CellHeader(row, col, xf);
  PutDouble(body, value);
  return Record(0x0203, body);
}

BiffBuilder& BiffBuilder::Rk(int row, int col, std::uint32_t rk, int xf) {
  Bytes body = CellHeader(row, col, xf);
  Put32(body, rk);
  return Record(0x027E, body);
}

BiffBuilder& BiffBuilder::MulRk(int row, int first_col,
                                const std::vector<std::pair<int, std::uint32_t>>& rks) {
  Bytes body;
  Put16(body, static_cast<std::uint32_t>(row));
  Put16(body, static_cast<std::uint32_t>(first_col));
  for (const auto& [xf, rk] : rks) {
    Put16(body, static_cast<std::uint32_t>(xf));
    Put32(body, rk);
  }
  Put16(body, static_cast<std::uint32_t>(first_col + static_cast<int>(rks.size()) - 1));
  return Record(0x00BD, body);
}

BiffBuilder& BiffBuilder::BoolErr(int row, int col, std::uint8_t value, bool is_error, int xf) {
  Bytes body = CellHeader(row, col, xf);
  body.push_back(value);
  body.push_back(is_error ? 1 : 0);
  return Record(0x0205, body);
}

BiffBuilder& BiffBuilder::Formula(int row, int col, FormulaCache cache, int xf) {
  Bytes body = CellHeader(row, col, xf);
  if (cache.type == 0xFFFF) {
    PutDouble(body, cache.number);
  } else {
    body.insert(body.end(), {static_cast<std::uint8_t>(cache.type), 0, cache.value, 0, 0, 0});
    Put16(body, 0xFFFF);
  }
  Put16(body, 0);                               // flags
  Put32(body, 0);                               // chn
  Put16(body, 3);                               // cce
  body.insert(body.end(), {0x1E, 0x01, 0x00});  // PtgInt 1: the formula is never evaluated
  return Record(0x0006, body);
}

BiffBuilder& BiffBuilder::String(const std::u16string& text) {
  return Record(0x0207, Text16(text, 2));
}

BiffBuilder& BiffBuilder::Blank(int row, int col, int xf) {
  return Record(0x0201, CellHeader(row, col, xf));
}

BiffBuilder& BiffBuilder::MulBlank(int row, int first_col, int last_col, int xf) {
  Bytes body;
  Put16(body, static_cast<std::uint32_t>(row));
  Put16(body, static_cast<std::uint32_t>(first_col));
  for (int c = first_col; c <= last_col; ++c) Put16(body, static_cast<std::uint32_t>(xf));
  Put16(body, static_cast<std::uint32_t>(last_col));
  return Record(0x00BE, body);
}

BiffBuilder& BiffBuilder::Truncate(std::size_t keep) {
  stream_.resize(std::min(keep, stream_.size()));
  return *this;
}

BiffBuilder& BiffBuilder::CorruptByte(std::size_t offset, std::uint8_t value) {
  assert(offset < stream_.size());
  stream_[offset] = value;
  return *this;
}

BiffBuilder& BiffBuilder::StreamName(std::string name) {
  stream_name_ = std::move(name);
  return *this;
}

Bytes BiffBuilder::Build() const {
  OutputPtr memory(gsf_output_memory_new());
  {
    OutputPtr ole(GSF_OUTPUT(gsf_outfile_msole_new(memory.get())));
    const std::string name = stream_name_.empty() ? "Workbook" : stream_name_;
    OutputPtr stream(gsf_outfile_new_child(GSF_OUTFILE(ole.get()), name.c_str(), FALSE));
    gsf_output_write(stream.get(), stream_.size(), stream_.data());
    gsf_output_close(stream.get());
    gsf_output_close(ole.get());
  }
  const guint8* data = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(memory.get()));
  const auto size = static_cast<std::size_t>(gsf_output_size(memory.get()));
  return Bytes(data, data + size);  // closing the compound file closed `memory` too
}

std::uint32_t BiffBuilder::RkInt(std::int32_t value, bool x100) {
  return (static_cast<std::uint32_t>(value) << 2) | 0x02 | (x100 ? 0x01 : 0);
}

std::uint32_t BiffBuilder::RkDouble(double value, bool x100) {
  const auto bits = std::bit_cast<std::uint64_t>(value);
  return (static_cast<std::uint32_t>(bits >> 32) & 0xFFFFFFFC) | (x100 ? 0x01 : 0);
}

}  // namespace zerova::testing
