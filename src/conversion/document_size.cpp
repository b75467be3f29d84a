#include "conversion/document_size.h"

#include <memory>
#include <string>

#include "conversion/output_document.h"

namespace zerova {
namespace {

// The bytes of a line held in `line`, with its CR LF.
std::uint64_t BytesOf(const std::string& line) { return line.size() + 2; }

}  // namespace

DocumentSize MeasureDocument(const Worksheet& sheet, bool count_bytes, ReadProgress* stop) {
  StopCheck check(stop, 64 * 1024);
  DocumentSize size;
  std::string line;
  const auto add = [&](std::int64_t lines, const std::string& text) {
    size.lines += lines;
    if (count_bytes) size.bytes += static_cast<std::uint64_t>(lines) * BytesOf(text);
  };
  add(1, count_bytes ? HeaderLine(line) : line);
  for (std::int64_t column = 1; column <= kLastNodeColumn; ++column) {
    const std::unique_ptr<ColumnCursor> cells = sheet.CursorAt(1, column);
    if (cells->Cell().IsEmpty()) break;
    line.clear();
    add(1, count_bytes ? NodeStartLine(line, static_cast<int>(column), cells->Cell()) : line);
    cells->Down();
    while (!cells->Cell().IsEmpty()) {
      check.Tick();
      const std::int64_t repeats = cells->Repeats();
      line.clear();
      add(repeats, count_bytes ? ValueLine(line, cells->Cell()) : line);
      cells->Skip(repeats);
    }
    line.clear();
    add(1, count_bytes ? NodeEndLine(line) : line);
  }
  line.clear();
  add(1, count_bytes ? ClosingLine(line) : line);
  return size;
}

}  // namespace zerova
