#include "window/form2.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "conversion/conversion_run.h"
#include "conversion/failure_message.h"
#include "conversion/stop_texts.h"
#include "formats/registry.h"
#include "services/error.h"
#include "services/workbook_file.h"
#include "window/fixed_program_folder.h"
#include "window/form2_messages.h"
#include "window/marshalled_hooks.h"

namespace zerova {
namespace {

// The part of the progress bar's range that reading the workbook fills; the
// lines written fill the rest.
constexpr int kReadingShare = kProgressMaximum / 5;

// What the window adds to a failure: it asks for passwords itself, and
// converts the active sheet alone.
constexpr FailureHints kHints = {
    "", "", "; save the workbook with a worksheet active to convert it here", ""};

}  // namespace

Form2::Form2(Form2View& view, Form2Services services)
    : cd1(view), view_(view), services_(std::move(services)) {
  if (!services_.spreadsheets) services_.spreadsheets = NewSpreadsheetService(this);
  if (!services_.file_system) services_.file_system = NewLocalFileSystem();
  services_.file_system = std::make_unique<FixedProgramFolder>(std::move(services_.file_system));
  Form_Load();
}

Form2::~Form2() {
  if (hooks_) hooks_->Close();
  if (worker_.joinable()) worker_.join();
}

void Form2::Form_Load() {
  view_.SetEnabled(Control::kCommand1, false);
  view_.SetVisible(Control::kLabel3, false);
  view_.SetVisible(Control::kProgressBar1, false);
}

void Form2::Click(Control button) {
  switch (button) {
    case Control::kCommand1:
      return Guarded([this] { Command1_Click(); });
    case Control::kCommand2:
      return Guarded([this] { Command2_Click(); });
    case Control::kCommand3:
      return Guarded([this] { Command3_Click(); });
    default:
      return;
  }
}

// Select: ask for the file once; a cancel is a choice of nothing.
void Form2::Command2_Click() {
  // Excel files first and chosen, then every workbook Zerova reads, then any file.
  cd1.Filter = FileDialogFilter();
  cd1.ShowOpen();
  ShowChosen(cd1.FileName);
}

void Form2::ShowChosen(const std::string& path) {
  SourcePath = path;
  view_.SetEnabled(Control::kCommand2, false);
  view_.SetEnabled(Control::kCommand1, true);
  view_.SetFocus(Control::kCommand1);
  if (path.empty()) return;
  view_.SetTitle(TitleNaming(path));
  view_.SetToolTip(Control::kLabel2, FullPath(path));
}

bool Form2::Choosing() const { return SourcePath.empty() && !converting_ && !ended_; }

// The file is opened and closed again, as the run will open it, to show at once
// why it cannot be read.
void Form2::OpenFile(const std::string& path) {
  if (!Choosing()) return;
  try {
    WorkbookFile readable(path);
  } catch (...) {
    ReportFailure(std::current_exception(), path);
    return;
  }
  ShowChosen(path);
}

bool Form2::TakesDrop(const std::vector<std::string>& files) const {
  return Choosing() && files.size() == 1 && !files.front().empty() && IsRegularFile(files.front());
}

bool Form2::Drop(const std::vector<std::string>& files) {
  if (!TakesDrop(files)) return false;
  view_.Post([this, path = files.front()] { OpenFile(path); });
  return true;
}

// Convert: the conversion run, on a worker thread; the run ends the program.
// A second click that comes before the run has disabled the button is ignored.
void Form2::Command1_Click() {
  if (converting_) return;
  hooks_ = std::make_unique<MarshalledHooks>(
      static_cast<RunHooks&>(*this),
      [this](std::function<void()> task) { view_.Post(std::move(task)); });
  run_ = std::make_unique<ConversionRun>(*services_.spreadsheets, *services_.file_system, *hooks_);
  converting_ = true;
  worker_ = std::thread([this, source_path = SourcePath] { RunConversion(source_path); });
}

void Form2::RunConversion(const std::string& source_path) {
  try {
    run_->Run(source_path);
  } catch (...) {
    hooks_->Post([this, failure = std::current_exception()] {
      Guarded([failure] { std::rethrow_exception(failure); });
    });
  }
}

// Exit: at once, or, during a conversion, once the user agrees to stop it.
void Form2::Command3_Click() {
  if (converting_) {
    AskToStop();
    return;
  }
  End(0);
}

bool Form2::CloseRequested() {
  if (!converting_ || ended_) return true;
  AskToStop();
  return false;
}

void Form2::AskToStop() {
  if (asking_) return;
  asking_ = true;
  hooks_->AskingToStop();
  const bool stop = view_.AskYesNo(StopQuestion(!writing_));
  asking_ = false;
  hooks_->Answer(stop);
}

void Form2::Guarded(const std::function<void()>& handler) {
  if (ended_) return;
  try {
    handler();
  } catch (...) {
    // Cancelling the password question ends the run with a refusal of the
    // workbook; the user chose it, so it is noted, not shown as an error.
    if (declined_) {
      std::fprintf(stderr, "zerova: %s: %s\n", PrintableText(SourcePath).c_str(), kNoPasswordGiven);
    } else {
      ReportFailure(std::current_exception(), SourcePath);
    }
    End(1);
  }
}

// Also on stderr, for whoever started the window from a terminal.
void Form2::ReportFailure(const std::exception_ptr& failure, const std::string& path) {
  const FailureMessage message = DescribeFailure(failure, path, kHints);
  std::fprintf(stderr, "zerova: %s\n", message.line.c_str());
  view_.ShowMessage(FailureBox(message, path));
}

void Form2::End(int status) {
  ended_ = true;
  view_.EndProgram(status);
}

// Convert disabled, so no second run can start, and the progress line shown,
// both painted now, before the run goes on to read the workbook.
void Form2::RunStarted() {
  view_.SetEnabled(Control::kCommand1, false);
  view_.PaintNow(Control::kCommand1);
  view_.SetVisible(Control::kLabel3, true);
  view_.PaintNow(Control::kLabel3);
  view_.SetProgress(0);
  view_.SetVisible(Control::kProgressBar1, true);
}

// Reading fills the first part of the bar, by the input consumed.
void Form2::ShowInputRead(std::uint64_t done, std::uint64_t total) {
  const std::uint64_t part =
      std::min(done, total) * static_cast<std::uint64_t>(kReadingShare) / total;
  view_.SetProgress(static_cast<int>(part));
}

// Writing fills the rest of the bar, by the lines written.
void Form2::ShowLinesWritten(std::int64_t lines_written, std::int64_t lines_total) {
  writing_ = true;
  const std::int64_t rest = kProgressMaximum - kReadingShare;
  view_.SetProgress(kReadingShare + static_cast<int>(lines_written * rest / lines_total));
}

// The document's full path under the message, so the user knows where it went.
// The run waits on its thread meanwhile, so its path may be read here.
void Form2::ShowCompletion(const std::string& message, const std::vector<std::string>& notes) {
  view_.ShowMessage(CompletionBox(message, run_->document_path(), notes));
}

// The completion box has been seen: the program ends.
void Form2::RunFinished() { End(0); }

std::optional<SecretBytes> Form2::Password(const std::string& file, bool previous_was_wrong) {
  if (std::this_thread::get_id() == ui_thread_) return AskPassword(file, previous_was_wrong);
  std::optional<SecretBytes> answer;
  hooks_->Call([&] { answer = AskPassword(file, previous_was_wrong); });
  return answer;
}

std::optional<SecretBytes> Form2::AskPassword(const std::string& file, bool previous_was_wrong) {
  std::optional<SecretBytes> password =
      view_.AskPassword(PasswordQuestionFor(file, previous_was_wrong));
  if (!password) declined_ = true;
  return password;
}

}  // namespace zerova
