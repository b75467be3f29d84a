// How soon a stop is noticed while a workbook is read. A reader asks whether
// to stop when it reports input read and, in work that reads none, when it
// checks; a stop asked for between two questions waits for the second. Each
// benchmark reads a large workbook whole and reports, as longest_wait_ms, the
// longest stretch between two questions: the most a stop can wait in it.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "bench/bench_books.h"
#include "formats/containers/ole2_container.h"
#include "formats/containers/workbook_source.h"
#include "formats/ooxml_crypto/encrypted_package.h"
#include "formats/registry.h"
#include "services/error.h"
#include "support/biff_builder.h"
#include "support/document.h"

namespace {

using zerova::test::Bytes;
using Clock = std::chrono::steady_clock;

// Notes the time of every question, and the longest stretch between two.
class Stopwatch final : public zerova::ReadProgress {
 public:
  void Reached(std::uint64_t, std::uint64_t) override { Mark(); }
  void CheckStop() override { Mark(); }
  void Mark() {
    const Clock::time_point now = Clock::now();
    longest_ = std::max(longest_, now - last_);
    last_ = now;
  }
  double longest_ms() const { return std::chrono::duration<double, std::milli>(longest_).count(); }

 private:
  Clock::time_point last_ = Clock::now();
  Clock::duration longest_{};
};

std::string Number(int i) { return std::to_string(static_cast<unsigned>(i) * 2654435761u); }

// 1,000,000 rows of one number, as in an .xlsx (about 50 MB of XML).
Bytes MillionRowXlsx() {
  std::string rows;
  for (int r = 1; r <= 1000000; ++r) rows += "<row><c><v>" + Number(r) + "</v></c></row>";
  return zerova::bench::Xlsx(rows);
}

// 65,535 rows by 10 columns of text, as an .xls (about 12 MB).
Bytes TallXls() {
  zerova::test::BiffBuilder book;
  book.Bof(zerova::test::Biff::k8).Xf(0).Boundsheet("S").Eof();
  book.Bof(zerova::test::Biff::k8, zerova::test::kWorksheetBof);
  for (int r = 0; r < 65535; ++r) {
    for (int c = 0; c < 10; ++c) book.Label(r, c, "text " + Number(r * 10 + c));
  }
  return book.Eof().Build();
}

// 1,000,000 rows of two fields (about 20 MB).
Bytes MillionRowCsv() {
  std::string text;
  for (int r = 1; r <= 1000000; ++r) text += Number(r) + "," + Number(-r) + "\n";
  return zerova::bench::TextBytes(text);
}

void BM_LongestWaitWhileReading(benchmark::State& state, Bytes (*make)()) {
  const Bytes bytes = make();
  for (auto _ : state) {
    Stopwatch stopwatch;
    const auto book =
        zerova::OpenWorkbook(zerova::WorkbookSource::View(bytes, "book", nullptr, &stopwatch));
    benchmark::DoNotOptimize(book->ReadSheet(book->ActiveSheet()));
    stopwatch.Mark();
    state.counters["longest_wait_ms"] = stopwatch.longest_ms();
  }
  state.counters["input_MB"] = static_cast<double>(bytes.size()) / 1e6;
}
BENCHMARK_CAPTURE(BM_LongestWaitWhileReading, xlsx_1000000_rows, &MillionRowXlsx)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(BM_LongestWaitWhileReading, xls_65535_by_10, &TallXls)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(BM_LongestWaitWhileReading, csv_1000000_rows, &MillionRowCsv)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// The key of an Agile package derived with the most hash rounds a file may
// ask for: ten million, seconds of work that reads nothing.
void BM_LongestWaitWhileDerivingAKey(benchmark::State& state) {
  const std::string path = std::string(ZEROVA_TEST_DATA) + "/encrypted/agile-sha1-aes128.xlsx";
  const Bytes file = [&] {
    std::FILE* in = std::fopen(path.c_str(), "rb");
    Bytes bytes(1 << 20);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), in));
    std::fclose(in);
    return bytes;
  }();
  const zerova::Ole2Container ole(file, path);
  Bytes info = ole.Read("EncryptionInfo");
  std::string text(info.begin(), info.end());
  text.replace(text.find("spinCount=\"1000\""), 16, "spinCount=\"10000000\"");
  info.assign(text.begin(), text.end());
  for (auto _ : state) {
    Bytes package = ole.Read("EncryptedPackage");
    zerova::test::GivenPasswords none({});
    Stopwatch stopwatch;
    try {
      zerova::DecryptPackageStreams(info, package, "book", &none, zerova::kMaxSpinCount,
                                    &stopwatch);
    } catch (const zerova::ReadError&) {  // the default password does not fit; none other given
    }
    stopwatch.Mark();
    state.counters["longest_wait_ms"] = stopwatch.longest_ms();
  }
}
BENCHMARK(BM_LongestWaitWhileDerivingAKey)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
