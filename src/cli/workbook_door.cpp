#include "cli/workbook_door.h"

#include <cstdint>
#include <span>

#include "cli/options.h"
#include "cli/stream_input.h"
#include "conversion/stop_texts.h"
#include "formats/registry.h"
#include "services/error.h"
#include "services/input_stream.h"
#include "services/stop_signals.h"

namespace zerova {

std::string SourceName(const std::string& file) {
  return file == kStandardStream ? kStandardInputName : file;
}

OpenedWorkbook WorkbookDoor::Open(const std::string& file, ProgressLine* progress,
                                  const std::string& stopped) const {
  const std::string source = SourceName(file);
  OpenedWorkbook opened;
  opened.passwords =
      std::make_unique<CommandLinePasswords>(password_file_, environment_, [progress] {
        if (progress != nullptr) progress->Erase();
      });
  opened.spreadsheets = NewSpreadsheetService(opened.passwords.get());
  const SpreadsheetInput input = Input(file, progress);
  opened.reading = std::make_unique<StopOnSignal>(progress, source, stopped);
  opened.book = opened.spreadsheets->Open(input, opened.reading.get());
  return opened;
}

SpreadsheetInput WorkbookDoor::Input(const std::string& file, ProgressLine* progress) {
  const std::string name = SourceName(file);
  const auto report = [progress, &name](std::uint64_t done, std::uint64_t total) {
    if (progress != nullptr) progress->UpdateRead(done, total);
    if (StopSignal() != 0) throw Cancelled(name, kCancelledBeforeWriting);
  };
  const auto check = [&name](std::span<const std::uint8_t> head) { CheckHead(head, name); };
  if (file == kStandardStream) return ReadStream(*StreamOnDescriptor(0, name), name, report, check);
  const std::unique_ptr<InputStream> stream = OpenStreamAt(file);
  if (stream == nullptr) return {file, {}, nullptr};  // read as a file, which says what is wrong
  return ReadStream(*stream, name, report, check);
}

}  // namespace zerova
