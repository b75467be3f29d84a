// Form2Window: Form2 drawn with Win32, the window of zerova-window.exe.
//
// One window class and one window procedure, which hands each message to a
// member function. The controls of Form2's layout (form2_layout.h) are child
// windows made in WM_CREATE, at their twips scaled by the window's dpi, and
// laid out again when the window moves to a screen of another dpi
// (WM_DPICHANGED): the buttons owner-drawn (WM_DRAWITEM) in the layout's
// colours, the labels static controls on the window's back colour
// (WM_CTLCOLORSTATIC), the progress bar comctl32's, the frame drawn by the
// window itself. It implements Form2View over them and owns the Form2 whose
// behaviour it shows, telling it of every click, drop (WM_DROPFILES) and close.
//
// What is Win32's alone stays here: the keyboard as in a dialog (Tab between
// the buttons, Enter pressing the focused one, through IsDialogMessage; see
// TakesKey), the focus kept while the window is inactive and moved on when its
// control is disabled, the system's dialogs and task dialogs, Post as a locked
// queue woken by a private message, and EndProgram as a quit message.
#ifndef ZEROVA_WINDOW_WIN32_FORM2_WINDOW_H_
#define ZEROVA_WINDOW_WIN32_FORM2_WINDOW_H_

#include <windows.h>
// After windows.h:
#include <shellapi.h>

#include <array>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "window/form2.h"
#include "window/form2_view.h"
#include "window/win32/gdi_handles.h"

namespace zerova {

class Form2Window final : public Form2View {
 public:
  // Makes the window, hidden, and its Form2 in its start state. `end_program`
  // ends the program (default: PostQuitMessage, the status being the quit
  // message's). REQUIRES: the common controls are initialised, and COM on this
  // thread (the file dialog).
  explicit Form2Window(std::function<void(int status)> end_program = {});
  ~Form2Window() override;
  Form2Window(const Form2Window&) = delete;
  Form2Window& operator=(const Form2Window&) = delete;

  HWND handle() const { return window_; }
  // The child window drawing `control`; null for the frame, which the window draws.
  HWND ControlWindow(Control control) const { return controls_[Index(control)]; }
  void Show();
  // Form2::OpenFile.
  void OpenFile(const std::string& path) { form_->OpenFile(path); }
  // The keyboard of a dialog for `message`, taken from the thread's queue:
  // true when it was handled here, and is not to be dispatched.
  bool TakesKey(MSG& message) { return ::IsDialogMessageW(window_, &message) != 0; }

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

 private:
  static std::size_t Index(Control control) { return static_cast<std::size_t>(control); }
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l) noexcept;
  LRESULT Handle(UINT message, WPARAM w, LPARAM l);

  // The controls, in form2_controls.cpp.
  void CreateControls();
  // Every control's place and font at `dpi`.
  void LayOut(int dpi);
  void PlaceWindow();
  void OnDpiChanged(int dpi, const RECT& suggested);
  // The control whose child window is `child`, or kShape1 for none.
  Control ControlOf(HWND child) const;
  // The first enabled, shown tab stop after `current` in tab order, wrapping.
  HWND TabStopAfter(HWND current) const;

  // The drawing, in form2_drawing.cpp.
  void DrawBack(HDC dc) const;
  void DrawButton(const DRAWITEMSTRUCT& item) const;
  LRESULT ColourLabel(HDC dc, HWND label) const;

  void OnActivate(bool active);
  LRESULT DefaultButton() const;
  void OnDropFiles(HDROP drop);
  void OnClose();
  void RunPosted();

  HWND window_ = nullptr;  // destroyed with this object, its children with it
  int dpi_ = USER_DEFAULT_SCREEN_DPI;
  std::array<HWND, kControlCount> controls_{};
  std::array<FontHandle, kControlCount> fonts_;
  BrushHandle back_, face_, frame_;
  HWND tooltip_ = nullptr;  // owned by window_, made at the first tooltip
  HWND focus_ = nullptr;    // the control with the focus when the window was last active
  std::function<void(int status)> end_program_;

  std::mutex posted_mutex_;
  std::deque<std::function<void()>> posted_;  // under posted_mutex_

  std::unique_ptr<Form2> form_;  // made last, over the controls; gone before them
};

}  // namespace zerova

#endif  // ZEROVA_WINDOW_WIN32_FORM2_WINDOW_H_
