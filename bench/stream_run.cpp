// `stream_run FILE`: zerova's conversion of FILE with the document written to
// standard output, as `zerova -o - FILE` writes it (conversion/document_writer.h's
// stream document). On stderr it prints how long the two halves took: reading
// the sheet (with measuring the document), then writing its lines.
// bench/big_xlsx.sh times it beside `zerova -o -` where the command line lacks
// that option.
#include <chrono>
#include <cstdio>
#include <string>

#include "conversion/conversion_run.h"
#include "formats/registry.h"
#include "services/error.h"
#include "services/run_hooks.h"
#include "services/spreadsheet.h"
#include "support/memory_file_system.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

// Notes when the first line is written: the sheet has been read and measured.
class TimingHooks final : public zerova::RunHooks {
 public:
  void ShowLinesWritten(std::int64_t lines_written, std::int64_t) override {
    if (lines_written == 1) first_line = Clock::now();
  }

  Clock::time_point first_line;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: stream_run FILE > DOCUMENT\n");
    return 2;
  }
  try {
    const auto start = Clock::now();
    const std::unique_ptr<zerova::SpreadsheetService> spreadsheets =
        zerova::NewSpreadsheetService();
    zerova::test::MemoryFileSystem files;
    TimingHooks hooks;
    zerova::ConversionRun run(*spreadsheets, files, hooks);
    zerova::ConversionRequest request;
    request.source.path = argv[1];
    request.output_stream = stdout;
    run.Run(request);
    const auto end = Clock::now();
    std::fprintf(stderr, "reading %.3f s, writing %.3f s\n", Seconds(start, hooks.first_line),
                 Seconds(hooks.first_line, end));
    return 0;
  } catch (const zerova::Error& e) {
    std::fprintf(stderr, "stream_run: %s\n", e.what());
    return 1;
  }
}
