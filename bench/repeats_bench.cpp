// Repeats cost what the file costs: a one-kilobyte .ods whose 16,384-cell row
// repeats 1,048,575 times (seventeen billion cells), read and measured as the
// run measures it before its first line; and an HTML table whose rowspans
// reach every column of the sheet and 65,534 rows down, each a different depth,
// with a row of one cell under each of those rows.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/bench_books.h"
#include "conversion/document/document_size.h"
#include "formats/containers/workbook_source.h"
#include "formats/registry.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void ReadAndMeasure(benchmark::State& state, const Bytes& bytes) {
  for (auto _ : state) {
    const auto book = zerova::OpenWorkbook(zerova::WorkbookSource::View(bytes, "book"));
    const auto sheet = book->ReadSheet(book->ActiveSheet());
    const zerova::DocumentSize size =
        zerova::MeasureDocument(*sheet, {}, zerova::Measure::kExact, nullptr);
    state.counters["lines"] = static_cast<double>(size.lines);
  }
  state.counters["input_bytes"] = static_cast<double>(bytes.size());
}

void BM_RepeatWorkbook(benchmark::State& state) {
  ReadAndMeasure(state, zerova::bench::Ods(
                            ("<table:table-row table:number-rows-repeated=\"1048575\">"
                             "<table:table-cell table:number-columns-repeated=\"16384\" "
                             "office:value-type=\"string\"><text:p>x</text:p></table:table-cell>"
                             "</table:table-row>")));
}
BENCHMARK(BM_RepeatWorkbook)->Unit(benchmark::kMillisecond);

void BM_DeepRowspans(benchmark::State& state) {
  std::string page = "<table><tr>";
  for (int c = 0; c < 16384; ++c) {
    page += "<td rowspan=\"" + std::to_string(65534 - c % 65534) + "\">h</td>";
  }
  page += "</tr>";
  for (int r = 0; r < 65534; ++r) page += "<tr><td>v</td></tr>";
  ReadAndMeasure(state, zerova::bench::TextBytes(page + "</table>"));
}
BENCHMARK(BM_DeepRowspans)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
