// `discarding_run FILE`: zerova's conversion of FILE, reading and building every
// line as `zerova FILE` does, with a file system that discards the lines. Prints
// the number of lines and bytes the document would hold. bench/peers.sh times
// this whole process against other programs that read the same file.
#include <cstdio>
#include <string>

#include "conversion/conversion_run.h"
#include "formats/registry.h"
#include "null_file_system.h"
#include "services/error.h"
#include "services/forwarding_file_system.h"
#include "services/run_hooks.h"
#include "services/spreadsheet.h"

namespace {

// Counts what it is asked to write, and writes nothing.
class CountingFileSystem final : public zerova::ForwardingFileSystem {
 public:
  CountingFileSystem() : ForwardingFileSystem(discard_) {}
  void AppendLineToFile(const std::string&, std::string_view line,
                        const zerova::FileLock&) override {
    ++lines;
    bytes += line.size() + 2;  // and CR LF
  }

  long long lines = 0;
  long long bytes = 0;

 private:
  zerova::bench::NullFileSystem discard_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: discarding_run FILE\n");
    return 2;
  }
  try {
    const std::unique_ptr<zerova::SpreadsheetService> spreadsheets =
        zerova::NewSpreadsheetService();
    CountingFileSystem discard;
    zerova::RunHooks hooks;
    zerova::ConversionRun run(*spreadsheets, discard, hooks);
    run.Run(argv[1]);
    std::printf("%lld lines, %lld bytes\n", discard.lines, discard.bytes);
    return 0;
  } catch (const zerova::Error& e) {
    std::fprintf(stderr, "discarding_run: %s\n", e.what());
    return 1;
  }
}
