#include "conversion/document_size.h"

#include <memory>
#include <string>

#include "conversion/output_document.h"

namespace zerova {
namespace {

// How many cells are passed between two questions whether to stop.
constexpr std::int64_t kCheckStep = 64 * 1024;

// The bytes of a line held in `line`, with its CR LF.
std::uint64_t BytesOf(const std::string& line) { return line.size() + 2; }

}  // namespace

DocumentSize MeasureDocument(const Worksheet& sheet, CellPlace first, bool count_bytes,
                             ReadProgress* stop) {
  StopCheck check(stop, kCheckStep);
  DocumentSize size;
  std::string line;
  const auto add = [&](std::int64_t lines, const std::string& text) {
    size.lines += lines;
    if (count_bytes) size.bytes += static_cast<std::uint64_t>(lines) * BytesOf(text);
  };
  add(1, count_bytes ? HeaderLine(line) : line);
  for (std::int64_t node = 1; node <= kMostNodes; ++node) {
    const std::unique_ptr<ColumnCursor> cells = sheet.CursorAt(first.row, first.column + node - 1);
    if (cells->Cell().IsEmpty()) break;
    line.clear();
    add(1, count_bytes ? NodeStartLine(line, static_cast<int>(node), cells->Cell()) : line);
    cells->Down();
    if (!count_bytes) {  // lines alone: the cells are passed in large steps
      for (std::int64_t passed; (passed = cells->SkipFilled(kCheckStep)) > 0;) {
        check.Tick(static_cast<std::uint64_t>(passed));
        size.lines += passed;
      }
    }
    while (!cells->Cell().IsEmpty()) {
      check.Tick();
      const std::int64_t repeats = cells->Repeats();
      line.clear();
      add(repeats, ValueLine(line, cells->Cell()));
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
