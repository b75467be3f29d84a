// Runs the whole conversion in memory and returns the document it writes.
#ifndef ZEROVA_TESTS_SUPPORT_DOCUMENT_H_
#define ZEROVA_TESTS_SUPPORT_DOCUMENT_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "conversion/conversion_run.h"
#include "services/file_system.h"
#include "services/password_source.h"
#include "services/run_hooks.h"
#include "services/spreadsheet.h"
#include "services/workbook.h"

namespace zerova::test {

// Records the run's calls, in order: "RunStarted", "Begun: <what a stop leaves>",
// "Complete", "ShowCompletion: <message>" (and " / <note>" for each note),
// "RunFinished"; the progress
// figures apart, in `progress`. Asks to stop once `stop_after` lines are written (-1: never; 0: as
// soon as the workbook is read).
class RecordingHooks final : public RunHooks {
 public:
  void RunStarted() override { calls.push_back("RunStarted"); }
  void ShowLinesWritten(std::int64_t written, std::int64_t total) override {
    progress.emplace_back(written, total);
  }
  bool StopRequested() override {
    return stop_after >= 0 && static_cast<std::int64_t>(progress.size()) >= stop_after;
  }
  void DocumentChanged(const DocumentAtStake& document) override {
    calls.push_back(document.complete ? "Complete" : "Begun: " + document.left);
  }
  void ShowCompletion(const std::string& message, const std::vector<std::string>& notes) override {
    std::string call = "ShowCompletion: " + message;
    for (const std::string& note : notes) call += " / " + note;
    calls.push_back(call);
  }
  void RunFinished() override { calls.push_back("RunFinished"); }
  std::vector<std::string> calls;
  std::vector<std::pair<std::int64_t, std::int64_t>> progress;
  std::int64_t stop_after = -1;
};

// A password source that gives its passwords one per call, then nullopt; notes
// each question as "FILE" or "FILE (wrong)" when the previous password was wrong.
class GivenPasswords final : public PasswordSource {
 public:
  explicit GivenPasswords(std::vector<std::string> passwords) : passwords_(std::move(passwords)) {}
  std::optional<SecretBytes> Password(const std::string& file, bool previous_was_wrong) override {
    asked.push_back(file + (previous_was_wrong ? " (wrong)" : ""));
    if (next_ == passwords_.size()) return std::nullopt;
    return ToSecret(passwords_[next_++]);
  }
  std::vector<std::string> asked;

 private:
  std::vector<std::string> passwords_;
  std::size_t next_ = 0;
};

// A workbook of one worksheet, "Sheet1", given whole.
class GivenWorkbook final : public Workbook {
 public:
  explicit GivenWorkbook(std::unique_ptr<Worksheet> sheet) : sheet_(std::move(sheet)) {}
  const std::vector<SheetInfo>& Sheets() override { return sheets_; }
  std::size_t ActiveSheet() override { return 0; }
  std::unique_ptr<Worksheet> ReadSheet(std::size_t) override { return std::move(sheet_); }

 private:
  std::vector<SheetInfo> sheets_{{"Sheet1"}};
  std::unique_ptr<Worksheet> sheet_;
};

// A spreadsheet service that answers every Open with the sheet it was given, once.
class GivenSheetService final : public SpreadsheetService {
 public:
  explicit GivenSheetService(std::unique_ptr<Worksheet> sheet) : sheet_(std::move(sheet)) {}
  std::unique_ptr<Workbook> Open(const SpreadsheetInput&, ReadProgress*) override {
    return std::make_unique<GivenWorkbook>(std::move(sheet_));
  }

 private:
  std::unique_ptr<Worksheet> sheet_;
};

// A sealed sheet whose columns, from A, hold `columns` as text from row 1 down.
std::unique_ptr<Worksheet> ColumnsSheet(const std::vector<std::vector<std::string>>& columns);

// Runs `request` (its source "book.xls" when none is named) through `spreadsheets`
// on `file_system`: the message of the Error it throws, "" when it completes.
std::string RunFailure(SpreadsheetService& spreadsheets, FileSystem& file_system, RunHooks& hooks,
                       ConversionRequest request = {});
// The same for a workbook whose one sheet is `sheet`.
std::string RunFailure(std::unique_ptr<Worksheet> sheet, FileSystem& file_system, RunHooks& hooks,
                       ConversionRequest request = {});

// The active sheet of the workbook in `bytes` (any format we read), read as a
// conversion reads it, asking `passwords` (null: none) when it is
// password-protected. Throws ReadError as the reader does.
std::unique_ptr<Worksheet> ReadActiveSheet(std::span<const std::uint8_t> bytes,
                                           const std::string& name,
                                           PasswordSource* passwords = nullptr);

// The document the conversion writes for `sheet`.
std::string DocumentOf(std::unique_ptr<Worksheet> sheet);

// The document the conversion writes for the workbook in `bytes` (any format we read),
// asking `passwords` (null: none) when it is password-protected.
// Throws ReadError as the reader does.
std::string DocumentOfBytes(std::span<const std::uint8_t> bytes, const std::string& name,
                            PasswordSource* passwords = nullptr);

// `bytes` as the spreadsheet `name` in memory, as a stream is read.
SpreadsheetInput InMemory(std::vector<std::uint8_t> bytes, std::string name);

// The whole file at `path`, as bytes. Fails the test (and returns nothing) when unreadable.
std::vector<std::uint8_t> ReadFileBytes(const std::string& path);

// The EncryptionInfo and EncryptedPackage streams of the encrypted package at `path`.
struct EncryptedStreams {
  std::vector<std::uint8_t> info, package;
};
EncryptedStreams EncryptedStreamsOf(const std::string& path);

// True iff `document` is well-formed XML (checked with libxml2).
bool IsWellFormedXml(const std::string& document);

// True iff `text` is well-formed UTF-8.
bool IsUtf8(std::string_view text);

}  // namespace zerova::test

#endif  // ZEROVA_TESTS_SUPPORT_DOCUMENT_H_
