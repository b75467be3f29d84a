// Form2Window: Form2 drawn with Qt Widgets, the window of zerova-window.
//
// It makes the controls of Form2's layout (form2_layout.h) as Qt widgets,
// named as there, implements Form2View over them, and owns the Form2 whose
// behaviour it shows, telling it of every click, drop and close. What is Qt's
// alone stays here: the widgets' palette and style (the window keeps its
// colours on any theme, its buttons and progress bar drawn in Qt's Windows
// style), Enter on a focused button pressing it as Space does, a drop taken as
// a copy, the dialogs and message boxes, and Post as a queued call on this
// widget, which Qt drops when the widget goes.
//
// The layout grows with the font's dpi (logicalDpiY), and the window starts
// centred on the primary screen.
#ifndef ZEROVA_WINDOW_QT_FORM2_WINDOW_H_
#define ZEROVA_WINDOW_QT_FORM2_WINDOW_H_

#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

#include "services/file_system.h"
#include "services/spreadsheet.h"
#include "window/form2.h"
#include "window/form2_view.h"
#include "window/qt/open_dialog.h"
#include "window/qt/password_dialog.h"

class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;
class QStyle;

namespace zerova {

// What the window reaches outside itself. A member left empty gets the real one.
struct Form2Platform {
  std::unique_ptr<OpenDialog> open_dialog;  // cd1's dialog
  std::unique_ptr<SpreadsheetService> spreadsheets;
  std::unique_ptr<FileSystem> file_system;
  std::function<void(int status)> end_program;      // QCoreApplication::exit
  std::unique_ptr<PasswordPrompt> password_prompt;  // asked when a workbook needs a password
};

class Form2Window final : public QWidget, private Form2View {
  Q_OBJECT

 public:
  explicit Form2Window(Form2Platform platform = {}, QWidget* parent = nullptr);
  ~Form2Window() override;

  // Form2::OpenFile, for a path as Qt gives it.
  void OpenFile(const QString& path);
  // Form2's SourcePath, as Qt text.
  QString SourcePath() const;

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

 private:
  // Makes the window and its controls from the layout, in form2_widgets.cpp.
  void CreateControls();
  QWidget* CreateControl(const ControlLayout& layout, int dpi);
  QWidget* Widget(Control control) const;

  // Form2View.
  void SetEnabled(Control control, bool enabled) override;
  void SetVisible(Control control, bool visible) override;
  void PaintNow(Control control) override;
  void SetFocus(Control control) override;
  void SetToolTip(Control control, const std::string& text) override;
  void SetTitle(const std::string& title) override;
  void SetProgress(int value) override;
  void ShowMessage(const Message& message) override;
  bool AskYesNo(const Message& question) override;
  std::optional<SecretBytes> AskPassword(const PasswordQuestion& question) override;
  std::string ShowOpen(const std::string& filter) override;
  void Post(std::function<void()> task) override;
  void EndProgram(int status) override;

  // Enter on a focused button presses it, as Space does.
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Closing the window during a conversion asks first, as Exit does.
  void closeEvent(QCloseEvent* event) override;
  // A drag is accepted, and the cursor says so, only when Form2 takes what it
  // brings; the drop then opens it.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

  Form2Platform platform_;
  QStyle* own_style_ = nullptr;  // draws the buttons' solid coloured face and the progress bar
  std::array<QWidget*, kControlCount> widgets_{};
  std::unique_ptr<Form2> form_;  // made last, over the controls; gone before them
};

}  // namespace zerova

#endif  // ZEROVA_WINDOW_QT_FORM2_WINDOW_H_
