// Form2: Zerova's one window, as it behaves whatever toolkit draws it.
//
// Form2 owns the window's states and what each control does; a Form2View
// (form2_view.h) draws the controls of the layout (form2_layout.h) and reports
// the user's clicks, drops and closes here. Made, the form is in its start
// state (Form_Load): Select enabled, Convert disabled, the progress line and
// bar hidden. Select asks for the file once (cd1), Convert runs the conversion
// of that file on a thread of its own, talking to the window through
// MarshalledHooks, and the run ends the program once its completion box is
// closed; Exit ends it at once. A workbook that needs a password is asked for
// on the UI thread, again after a wrong password; a cancel there ends the
// program with status 1, saying so on stderr only. A failure in any handler or
// in the run is shown in a message box (form2_messages.h), and the program then
// ends with status 1.
//
// The file may also come before Select is used: given at the start (OpenFile),
// or dropped on the window, one local file, while no file is chosen and no
// conversion has begun. Once a file is chosen the title names it ("book.xls –
// Zerova") and the title label's tooltip gives its full path.
//
// While the conversion runs the window stays responsive and shows the progress
// bar, filled by reading and then by the lines written. Exit, or closing the
// window, then asks whether to stop; on yes the run stops where it is (while
// reading, before the document is touched; later, after its line, removing the
// incomplete document), and the program ends with status 1, saying so in a box
// and on stderr.
//
// The program's folder, where the run renews its scratch file, is found once,
// when the form is made: a package upgrade that replaces the program's file
// while the window is open does not keep it from converting.
//
// Every public member is called on the UI thread, the one that made the form.
#ifndef ZEROVA_WINDOW_FORM2_H_
#define ZEROVA_WINDOW_FORM2_H_

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "services/file_system.h"
#include "services/password_source.h"
#include "services/run_hooks.h"
#include "services/spreadsheet.h"
#include "window/common_dialog.h"
#include "window/form2_view.h"

namespace zerova {

class ConversionRun;
class MarshalledHooks;

// What the form reaches outside its window. A member left empty gets the real one.
struct Form2Services {
  std::unique_ptr<SpreadsheetService>
      spreadsheets;                         // the registry's, asking the view for passwords
  std::unique_ptr<FileSystem> file_system;  // the local disk
};

class Form2 final : private RunHooks, private PasswordSource {
 public:
  // `view` has drawn the layout's controls, and must outlive this object.
  explicit Form2(Form2View& view, Form2Services services = {});
  // A run still under way is stopped after its line, and waited for.
  ~Form2() override;

  // The button `button` was pressed: its handler runs, unless the program has ended.
  void Click(Control button);

  // Takes `path` as the chosen file, as Select would, when it names a file that
  // can be read; otherwise shows the failure box for it (as a conversion of it
  // would), and the window stays in its start state. Nothing is done once a
  // file is chosen or a conversion has begun.
  void OpenFile(const std::string& path);

  // Whether a drop of `files` would be taken: one local file, not a folder,
  // while no file is chosen and no conversion has begun. Each of `files` is a
  // dragged item's local path, "" for one that is no local file (a web address).
  bool TakesDrop(const std::vector<std::string>& files) const;
  // Opens the dropped file once the drop is over (a task posted), so that a
  // failure box does not hold up the program it was dragged from. False, and
  // nothing done, when TakesDrop refuses `files`.
  bool Drop(const std::vector<std::string>& files);

  // The user asks to close the window: true when it may close now; during a
  // conversion false, having asked whether to stop, as Exit does.
  bool CloseRequested();

  CommonDialog cd1;
  // The chosen spreadsheet file; empty until Select, and after a cancelled Select.
  std::string SourcePath;

 private:
  void Form_Load();
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();

  // The file-chosen state, for `path` (empty after a cancelled dialog).
  void ShowChosen(const std::string& path);
  // True while no file is chosen and no conversion has begun.
  bool Choosing() const;

  // Runs `handler` unless the program has ended; a failure is reported in a
  // message box, and the program then ends with status 1. A cancelled
  // conversion ends it with status 1 too, saying so on stderr only.
  void Guarded(const std::function<void()>& handler);
  // Shows `failure`, of work on the file `path`, in a box and on stderr.
  void ReportFailure(const std::exception_ptr& failure, const std::string& path);
  void End(int status);

  // On the worker thread: the run, whose end (a failure) is handed to the window.
  void RunConversion(const std::string& source_path);
  // Asks whether to stop the conversion, pausing it meanwhile.
  void AskToStop();

  // RunHooks, for the conversion run; called on the UI thread (MarshalledHooks).
  void RunStarted() override;
  void ShowLinesWritten(std::int64_t lines_written, std::int64_t lines_total) override;
  void ShowInputRead(std::uint64_t done, std::uint64_t total) override;
  void ShowCompletion(const std::string& message, const std::vector<std::string>& notes) override;
  void RunFinished() override;

  // PasswordSource, for the spreadsheet service: asked on the UI thread,
  // wherever the service runs.
  std::optional<SecretBytes> Password(const std::string& file, bool previous_was_wrong) override;
  std::optional<SecretBytes> AskPassword(const std::string& file, bool previous_was_wrong);

  Form2View& view_;
  Form2Services services_;
  const std::thread::id ui_thread_ = std::this_thread::get_id();
  std::unique_ptr<MarshalledHooks> hooks_;  // the run's way to the window
  std::unique_ptr<ConversionRun> run_;      // kept, with what it read, until the end
  std::thread worker_;                      // runs run_
  bool converting_ = false;
  bool writing_ = false;   // the run has written a line: it is past reading
  bool asking_ = false;    // the stop question is open
  bool declined_ = false;  // the user cancelled a password question
  bool ended_ = false;
};

}  // namespace zerova

#endif  // ZEROVA_WINDOW_FORM2_H_
