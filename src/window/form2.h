// Form2: Zerova's one window.
//
// The constructor builds the fixed layout (positions in twips, 15 to a pixel),
// then runs Form_Load, so a new Form2 is in its start state: Select enabled,
// Convert disabled, the progress line and bar hidden. Select asks for the file
// once, Convert runs the conversion of that file on a worker thread, talking to
// the window through MarshalledHooks, and the run ends the program; Exit ends it
// at once. A workbook that needs a password is asked for in a dialog on the
// window's thread (WindowPasswords), again after a wrong password; a cancel
// there ends the program with status 1, saying so on stderr only. A failure in
// any handler or in the run is shown in a message box (message_boxes.h), and
// the program then ends with status 1.
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
// and on stderr. Enter on a focused button presses it.
//
// The window keeps its own colours on any theme, its buttons and progress bar
// drawn in a style of its own, and its layout grows with the font's dpi
// (form2_layout.cpp).
#ifndef ZEROVA_WINDOW_FORM2_H_
#define ZEROVA_WINDOW_FORM2_H_

#include <QString>
#include <QWidget>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "services/file_system.h"
#include "services/run_hooks.h"
#include "services/spreadsheet.h"
#include "window/common_dialog.h"
#include "window/password_dialog.h"

class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;
class QThread;
class QStyle;

namespace zerova {

class ConversionRun;
class MarshalledHooks;

// What the window reaches outside itself. A member left empty gets the real one.
struct Form2Platform {
  std::unique_ptr<OpenDialog> open_dialog;  // cd1's dialog
  std::unique_ptr<SpreadsheetService> spreadsheets;
  std::unique_ptr<FileSystem> file_system;
  std::function<void(int status)> end_program;      // QCoreApplication::exit
  std::unique_ptr<PasswordPrompt> password_prompt;  // asked when a workbook needs a password
};

// The application title; every message box carries it.
inline constexpr const char* kApplicationTitle = "Dizuzize";

class Form2 : public QWidget, private RunHooks {
  Q_OBJECT

 public:
  explicit Form2(Form2Platform platform = {}, QWidget* parent = nullptr);
  ~Form2() override;

  // True once the program has been told to end; no handler runs after that.
  bool ended() const { return ended_; }

  // Takes `path` as the chosen file, as Select would, when it names a file that
  // can be read; otherwise shows the failure box for it (as a conversion of it
  // would), and the window stays in its start state. Nothing is done once a
  // file is chosen or a conversion has begun.
  void OpenFile(const QString& path);

  // The controls, named as in the layout.
  QPushButton* Command1 = nullptr;       // Convert
  QPushButton* Command2 = nullptr;       // Select
  QPushButton* Command3 = nullptr;       // Exit
  QLabel* Label1 = nullptr;              // credit line
  QLabel* Label2 = nullptr;              // title
  QLabel* Label3 = nullptr;              // progress line
  QLabel* Label4 = nullptr;              // note
  QLabel* Label5 = nullptr;              // format help
  QFrame* Shape1 = nullptr;              // frame around the layout
  QProgressBar* ProgressBar1 = nullptr;  // beside the progress line, while converting
  CommonDialog cd1;

  // The chosen spreadsheet file; empty until Select, and after a cancelled Select.
  QString SourcePath;

 private slots:
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();

 private:
  // Builds the controls, in form2_layout.cpp.
  void CreateControls();
  // `name` is the control's object name, as in the layout.
  QPushButton* CreateButton(const char* name, const char* caption);
  QLabel* CreateLabel(const char* name, const char* caption);
  void Form_Load();
  // The file-chosen state, for `path` (empty after a cancelled dialog).
  void ShowChosen(const QString& path);
  // True while no file is chosen and no conversion has begun.
  bool Choosing() const;

  // Runs `handler` unless the program has ended; a failure is reported in a
  // message box, and the program then ends with status 1. A cancelled
  // conversion ends it with status 1 too, saying so on stderr only.
  void Guarded(const std::function<void()>& handler);
  // Shows `failure`, of work on the file `path`, in a box and on stderr.
  void ReportFailure(const std::exception_ptr& failure, const QString& path);
  void End(int status);

  // On the worker thread: the run, whose end (a failure) is handed to the window.
  void RunConversion(const std::string& source_path);
  // Asks whether to stop the conversion, pausing it meanwhile.
  void AskToStop();

  // Enter on a focused button presses it, as Space does.
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Closing the window during a conversion asks first, as Exit does.
  void closeEvent(QCloseEvent* event) override;
  // A drag is accepted, and the cursor says so, only when it brings one local
  // file (not a folder) while Choosing(); the drop then opens it.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

  // RunHooks, for the conversion run; called on the GUI thread.
  void RunStarted() override;
  void ShowLinesWritten(std::int64_t lines_written, std::int64_t lines_total) override;
  void ShowInputRead(std::uint64_t done, std::uint64_t total) override;
  void ShowCompletion(const std::string& message, const std::vector<std::string>& notes) override;
  void RunFinished() override;

  Form2Platform platform_;
  std::unique_ptr<WindowPasswords> passwords_;  // the spreadsheet service's, over this window
  QStyle* own_style_ = nullptr;  // draws the buttons' solid coloured face and the progress bar
  std::unique_ptr<MarshalledHooks> hooks_;  // the run's way to the window
  std::unique_ptr<ConversionRun> run_;      // kept, with what it read, until the end
  std::unique_ptr<QThread> worker_;         // runs run_
  bool converting_ = false;
  bool writing_ = false;  // the run has written a line: it is past reading
  bool asking_ = false;
  bool ended_ = false;
};

}  // namespace zerova

#endif  // ZEROVA_WINDOW_FORM2_H_
