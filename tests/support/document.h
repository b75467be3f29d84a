// Runs the whole conversion in memory and returns the document it writes.
#ifndef ZEROVA_TESTS_SUPPORT_DOCUMENT_H_
#define ZEROVA_TESTS_SUPPORT_DOCUMENT_H_

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "services/spreadsheet.h"
#include "services/window_hooks.h"

namespace zerova::testing {

// Records the run's calls on the window, in order: "DisableConvert", "ShowProgress",
// "ShowCompletion: <message>", "EndProgram"; the progress figures apart, in
// `progress`. Asks to stop once `stop_after` lines are written (-1: never;
// 0: as soon as the workbook is read).
class RecordingHooks final : public WindowHooks {
 public:
  void DisableConvert() override { calls.push_back("DisableConvert"); }
  void ShowProgress() override { calls.push_back("ShowProgress"); }
  void ShowLinesWritten(std::int64_t written, std::int64_t total) override {
    progress.emplace_back(written, total);
  }
  bool StopRequested() override {
    return stop_after >= 0 && static_cast<std::int64_t>(progress.size()) >= stop_after;
  }
  void ShowCompletion(const std::string& message) override {
    calls.push_back("ShowCompletion: " + message);
  }
  void EndProgram() override { calls.push_back("EndProgram"); }
  std::vector<std::string> calls;
  std::vector<std::pair<std::int64_t, std::int64_t>> progress;
  std::int64_t stop_after = -1;
};

// A spreadsheet service that answers every Open with the sheet it was given, once.
class GivenSheetService final : public SpreadsheetService {
 public:
  explicit GivenSheetService(std::unique_ptr<Worksheet> sheet) : sheet_(std::move(sheet)) {}
  std::unique_ptr<Worksheet> Open(const std::string&) override { return std::move(sheet_); }

 private:
  std::unique_ptr<Worksheet> sheet_;
};

// The document the conversion writes for `sheet`.
std::string DocumentOf(std::unique_ptr<Worksheet> sheet);

// The document the conversion writes for the workbook in `bytes` (any format we read),
// asking `passwords` (null: none) when it is password-protected.
// Throws ReadError as the reader does.
std::string DocumentOfBytes(std::span<const std::uint8_t> bytes, const std::string& name,
                            PasswordSource* passwords = nullptr);

// The whole file at `path`, as bytes. Fails the test (and returns nothing) when unreadable.
std::vector<std::uint8_t> ReadFileBytes(const std::string& path);

// True iff `document` is well-formed XML (checked with libxml2).
bool IsWellFormedXml(const std::string& document);

// True iff `text` is well-formed UTF-8.
bool IsUtf8(std::string_view text);

}  // namespace zerova::testing

#endif  // ZEROVA_TESTS_SUPPORT_DOCUMENT_H_
