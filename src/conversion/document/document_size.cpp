#include "conversion/document/document_size.h"

#include <memory>
#include <string>

#include "conversion/document/line_builders.h"

namespace zerova {
namespace {

// How many cells are passed between two questions whether to stop.
constexpr std::int64_t kCheckStep = 64 * 1024;

// The bytes of a line held in `line`, with its CR LF.
std::uint64_t BytesOf(const std::string& line) { return line.size() + 2; }

// No fewer bytes than a value line of `cell` takes, with its CR LF: the tags,
// and the cell's text at its longest (a text escaped at six bytes a byte, a
// number as "%.15G" writes it at most, a date, a truth value, an error).
std::uint64_t ValueLineBound(const CellView& cell) {
  constexpr std::uint64_t kTags = sizeof("<value></value>\r\n") - 1;
  switch (cell.kind) {
    case CellKind::kText:
      return kTags + 6 * cell.text.size();
    case CellKind::kNumber:
      return kTags + 23;  // "-1.23456789012346E+308"
    default:
      return kTags + 19;  // "YYYY-MM-DD HH:MM:SS", "False", "#DIV/0!"
  }
}

}  // namespace

DocumentSize MeasureDocument(const Worksheet& sheet, CellPlace first, Measure measure,
                             ReadProgress* stop) {
  StopCheck check(stop, kCheckStep);
  DocumentSize size;
  std::string line;
  const bool count_bytes = measure == Measure::kExact;
  const auto add = [&](std::int64_t lines, const std::string& text) {
    size.lines += lines;
    if (count_bytes) size.bytes += static_cast<std::uint64_t>(lines) * BytesOf(text);
  };
  const auto bound = [&](std::int64_t lines, std::uint64_t bytes) {
    if (measure == Measure::kUpperBound) size.bytes += static_cast<std::uint64_t>(lines) * bytes;
  };
  add(1, count_bytes ? HeaderLine(line) : line);
  bound(1, sizeof("<?xml version=\"1.0\" encoding=\"UTF-8\"?><Main>\r\n") - 1);
  for (std::int64_t node = 1; node <= kMostNodes; ++node) {
    const std::unique_ptr<ColumnCursor> cells = sheet.CursorAt(first.row, first.column + node - 1);
    if (cells->Cell().IsEmpty()) break;
    line.clear();
    add(1, count_bytes ? NodeStartLine(line, static_cast<int>(node), cells->Cell()) : line);
    bound(1, ValueLineBound(cells->Cell()) + sizeof("<node id=\"n32767\" lbl=\"\">") - 1);
    cells->Down();
    if (measure == Measure::kLines) {  // the cells are passed in large steps
      for (std::int64_t passed; (passed = cells->SkipFilled(kCheckStep)) > 0;) {
        check.Tick(static_cast<std::uint64_t>(passed));
        size.lines += passed;
      }
    }
    for (CellView cell = cells->Cell(); !cell.IsEmpty(); cell = cells->Cell()) {
      check.Tick();
      const std::int64_t repeats = cells->Repeats();
      line.clear();
      add(repeats, count_bytes ? ValueLine(line, cell) : line);
      if (measure == Measure::kUpperBound) bound(repeats, ValueLineBound(cell));
      cells->Skip(repeats);
    }
    line.clear();
    add(1, count_bytes ? NodeEndLine(line) : line);
    bound(1, sizeof("</node>\r\n") - 1);
  }
  line.clear();
  add(1, count_bytes ? ClosingLine(line) : line);
  bound(1, sizeof("</Main>\r\n") - 1);
  return size;
}

}  // namespace zerova
