// ui/: the window Form2 (with its layout in form2_layout.cpp), its file dialog
// cd1 (common_dialog.h), the command line, and the two mains: zerova (main.cpp)
// and zerova-window (window_main.cpp).
//
// Form2: Zerova's one window.
//
// The constructor builds the fixed layout (positions in twips, 15 to a pixel),
// then runs Form_Load, so a new Form2 is in its start state: Select enabled,
// Convert disabled, the progress line hidden. Select asks for the file once,
// Convert runs the conversion of that file on the window's thread and ends the
// program, Exit ends it at once. A failure in any handler is shown in a message
// box, and the program then ends with status 1.
#ifndef ZEROVA_UI_FORM2_H_
#define ZEROVA_UI_FORM2_H_

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

#include "services/file_system.h"
#include "services/spreadsheet.h"
#include "services/window_hooks.h"
#include "ui/common_dialog.h"

class QFrame;
class QLabel;
class QPushButton;
class QStyle;

namespace zerova {

class ConversionRun;

// What the window reaches outside itself. A member left empty gets the real one.
struct Form2Platform {
  std::unique_ptr<OpenDialog> open_dialog;  // cd1's dialog
  std::unique_ptr<SpreadsheetService> spreadsheets;
  std::unique_ptr<FileSystem> file_system;
  std::function<void(int status)> end_program;  // QCoreApplication::exit
};

// The application title; every message box carries it.
inline constexpr const char* kApplicationTitle = "Dizuzize";

class Form2 : public QWidget, private WindowHooks {
  Q_OBJECT

 public:
  explicit Form2(Form2Platform platform = {}, QWidget* parent = nullptr);
  ~Form2() override;

  // True once the program has been told to end; no handler runs after that.
  bool ended() const { return ended_; }

  // The controls, named as in the layout.
  QPushButton* Command1 = nullptr;  // Convert
  QPushButton* Command2 = nullptr;  // Select
  QPushButton* Command3 = nullptr;  // Exit
  QLabel* Label1 = nullptr;         // credit line
  QLabel* Label2 = nullptr;         // title
  QLabel* Label3 = nullptr;         // progress line
  QLabel* Label4 = nullptr;         // note
  QLabel* Label5 = nullptr;         // format help
  QFrame* Shape1 = nullptr;         // frame around the layout
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

  // Runs `handler` unless the program has ended; a failure is reported in a
  // message box, and the program then ends with status 1.
  void Guarded(void (Form2::*handler)());
  void ReportFailure(const QString& description);
  void End(int status);

  // WindowHooks, for the conversion run.
  void DisableConvert() override;
  void ShowProgress() override;
  void ShowCompletion(const std::string& message) override;
  void EndProgram() override;

  Form2Platform platform_;
  QStyle* button_style_ = nullptr;      // draws the buttons' solid coloured face
  std::unique_ptr<ConversionRun> run_;  // kept, with what it read, until the end
  bool ended_ = false;
};

}  // namespace zerova

#endif  // ZEROVA_UI_FORM2_H_
