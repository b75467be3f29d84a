// MeasureDocument: how many lines and bytes the conversion of a sheet writes,
// known before the first line, so that the run can say how far it has got and
// refuse a document that does not fit before an earlier one is emptied.
#ifndef ZEROVA_CONVERSION_DOCUMENT_DOCUMENT_SIZE_H_
#define ZEROVA_CONVERSION_DOCUMENT_DOCUMENT_SIZE_H_

#include <cstdint>

#include "services/cell_address.h"
#include "services/read_progress.h"
#include "services/worksheet.h"

namespace zerova {

// The most nodes a document holds: the run numbers them with a 16-bit counter,
// n1 to n32767.
inline constexpr std::int64_t kMostNodes = 32767;

struct DocumentSize {
  std::int64_t lines = 0;   // header and closing line included
  std::uint64_t bytes = 0;  // every line with its CR LF, as Measure asks; 0 unless counted
};

// How closely the bytes are measured.
enum class Measure {
  kLines,       // lines alone (bytes 0): the cells are passed in large steps
  kUpperBound,  // bytes no fewer than the document's: each cell's kind and size,
                // its text never built (what escaping may make of it: six times it)
  kExact,       // each line built to count its bytes
};

// The size of the document the run writes for the table of `sheet` whose first
// label stands at `first`: the header and closing lines, and per labelled column
// (up to kMostNodes of them) its start line, a line per value and its end line. A
// cell a sheet holds as a run of repeats is measured once and counted for all of
// them, so a sheet of a few runs that reach a billion cells is measured at once.
// Asks `stop` (null: nobody) every 64K cells. Throws Cancelled when `stop`
// answers a stop.
DocumentSize MeasureDocument(const Worksheet& sheet, CellPlace first, Measure measure,
                             ReadProgress* stop);

}  // namespace zerova

#endif  // ZEROVA_CONVERSION_DOCUMENT_DOCUMENT_SIZE_H_
