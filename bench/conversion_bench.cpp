// The cost of a conversion, with and without the file operations each line demands.
//
// The sheet is 65,535 rows by 10 columns (labels in row 1), made in memory as an .xls.
// BM_RunDiscardingLines reads it and builds every line but writes nothing;
// BM_RunOnDisk is the real run: per line, the scratch file renewed and the document
// opened, appended and closed. The first should take well under a tenth of the second.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "conversion/conversion_run.h"
#include "formats/registry.h"
#include "null_file_system.h"
#include "services/file_system.h"
#include "services/spreadsheet.h"
#include "support/biff_builder.h"

namespace {

using zerova::test::BiffBuilder;
using zerova::test::Bytes;

constexpr int kRows = 65535;
constexpr int kColumns = 10;

const Bytes& Workbook() {
  static const Bytes bytes = [] {
    BiffBuilder book;
    book.Bof(zerova::test::Biff::k8).Xf(0).Boundsheet("Data").Eof();
    book.Bof(zerova::test::Biff::k8, zerova::test::kWorksheetBof);
    for (int c = 0; c < kColumns; ++c) book.Label(0, c, "Column " + std::to_string(c + 1));
    for (int r = 1; r < kRows; ++r) {
      for (int c = 0; c < kColumns; ++c) {
        if (c % 2 == 0) {
          book.Number(r, c, r * 1.25 + c);
        } else {
          book.Label(r, c, "text " + std::to_string(r));
        }
      }
    }
    book.Eof();
    return book.Build();
  }();
  return bytes;
}

class BytesService final : public zerova::SpreadsheetService {
 public:
  std::unique_ptr<zerova::Workbook> Open(const zerova::SpreadsheetInput& input,
                                         zerova::ReadProgress* progress) override {
    return zerova::OpenWorkbook(
        zerova::WorkbookSource::View(Workbook(), input.path, nullptr, progress));
  }
};

void Run(benchmark::State& state, zerova::FileSystem& file_system) {
  BytesService service;
  zerova::RunHooks hooks;
  for (auto _ : state) {
    zerova::ConversionRun run(service, file_system, hooks);
    run.Run("bench.xls");
  }
  state.SetItemsProcessed(state.iterations() * (kRows * kColumns + 2 * kColumns + 2));
  state.counters["lines"] = kRows * kColumns + kColumns + 2;
}

void BM_RunDiscardingLines(benchmark::State& state) {
  Workbook();
  zerova::bench::NullFileSystem discard;
  Run(state, discard);
}
BENCHMARK(BM_RunDiscardingLines)->Unit(benchmark::kMillisecond);

void BM_RunOnDisk(benchmark::State& state) {
  Workbook();
  const std::filesystem::path old = std::filesystem::current_path();
  char pattern[] = "/tmp/zerova-bench-XXXXXX";
  const std::filesystem::path dir = ::mkdtemp(pattern);
  std::filesystem::current_path(dir);
  std::unique_ptr<zerova::FileSystem> disk = zerova::NewLocalFileSystem();
  Run(state, *disk);
  std::filesystem::current_path(old);
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_RunOnDisk)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
