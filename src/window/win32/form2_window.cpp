// Form2Window's window: its class and procedure, and Form2View's operations
// mapped onto Win32.
#include "window/win32/form2_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <utility>
#include <vector>

#include "services/error.h"
#include "window/win32/message_box.h"
#include "window/win32/open_dialog.h"
#include "window/win32/password_dialog.h"
#include "window/win32/utf16.h"

namespace zerova {
namespace {

constexpr const wchar_t* kClassName = L"Zerova.Form2";
constexpr UINT kPostedTask = WM_APP;  // wakes the window to run what was posted
constexpr int kIconResource = 1;      // the program's icon, in its resources
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

void RegisterOnce(WNDPROC procedure) {
  static const bool registered = [procedure] {
    const HINSTANCE program = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = procedure;
    window_class.hInstance = program;
    window_class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    window_class.lpszClassName = kClassName;
    const auto icon = [program](int size) {
      return static_cast<HICON>(::LoadImageW(program, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                                             size, size, LR_SHARED));
    };
    window_class.hIcon = icon(::GetSystemMetrics(SM_CXICON));
    window_class.hIconSm = icon(::GetSystemMetrics(SM_CXSMICON));
    return ::RegisterClassExW(&window_class) != 0;
  }();
  (void)registered;
}

// A drop's memory, released (DragFinish) when it goes.
class DropScope {
 public:
  explicit DropScope(HDROP drop) : drop_(drop) {}
  DropScope(const DropScope&) = delete;
  DropScope& operator=(const DropScope&) = delete;
  ~DropScope() { ::DragFinish(drop_); }

 private:
  HDROP drop_;
};

// The local paths a drop brings.
std::vector<std::string> DroppedFiles(HDROP drop) {
  std::vector<std::string> files;
  const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    std::wstring path(::DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
    path.resize(::DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
    files.push_back(Utf8Of(path));
  }
  return files;
}

}  // namespace

Form2Window::Form2Window(std::function<void(int status)> end_program)
    : end_program_(std::move(end_program)) {
  if (!end_program_) end_program_ = [](int status) { ::PostQuitMessage(status); };
  RegisterOnce(&Procedure);
  ::CreateWindowExW(0, kClassName, Utf16Of(kFormCaption).c_str(), kStyle, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                    ::GetModuleHandleW(nullptr), this);
  if (window_ == nullptr) throw Error("", "could not make the window");
  ::DragAcceptFiles(window_, TRUE);
  form_ = std::make_unique<Form2>(static_cast<Form2View&>(*this));
}

// The run is stopped and waited for first; what it posted meanwhile is dropped.
Form2Window::~Form2Window() {
  form_.reset();
  {
    std::lock_guard lock(posted_mutex_);
    posted_.clear();
  }
  ::DestroyWindow(window_);
}

void Form2Window::Show() {
  ::ShowWindow(window_, SW_SHOW);
  ::UpdateWindow(window_);
}

LRESULT CALLBACK Form2Window::Procedure(HWND window, UINT message, WPARAM w, LPARAM l) noexcept {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Form2Window*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
    self->window_ = window;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Form2Window*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return ::DefWindowProcW(window, message, w, l);
  return self->Handle(message, w, l);
}

LRESULT Form2Window::Handle(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_CREATE:
      CreateControls();
      return 0;
    case WM_COMMAND:
      // A click, or Enter on the focused button (IsDialogMessage, by its id).
      if (HIWORD(w) == BN_CLICKED && form_)
        form_->Click(ControlOf(::GetDlgItem(window_, LOWORD(w))));
      return 0;
    case WM_DRAWITEM:
      DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(l));
      return TRUE;
    case WM_CTLCOLORSTATIC:
      return ColourLabel(reinterpret_cast<HDC>(w), reinterpret_cast<HWND>(l));
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT draws the back and the frame at once
    case WM_PAINT: {
      const Painting painting(window_);
      DrawBack(painting.dc());
      return 0;
    }
    case WM_PRINTCLIENT:
      DrawBack(reinterpret_cast<HDC>(w));
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(w), *reinterpret_cast<const RECT*>(l));
      return 0;
    case WM_ACTIVATE:
      OnActivate(LOWORD(w) != WA_INACTIVE);
      return 0;
    case DM_GETDEFID:
      return DefaultButton();
    case WM_DROPFILES:
      OnDropFiles(reinterpret_cast<HDROP>(w));
      return 0;
    case WM_CLOSE:
      OnClose();
      return 0;
    case kPostedTask:
      RunPosted();
      return 0;
    default:
      return ::DefWindowProcW(window_, message, w, l);
  }
}

void Form2Window::SetEnabled(Control control, bool enabled) {
  const HWND child = ControlWindow(control);
  if (child == nullptr) return;
  const bool had_focus = ::GetFocus() == child;
  ::EnableWindow(child, enabled);
  if (had_focus && !enabled) ::SetFocus(TabStopAfter(child));
}

void Form2Window::SetVisible(Control control, bool visible) {
  if (const HWND child = ControlWindow(control)) ::ShowWindow(child, visible ? SW_SHOWNA : SW_HIDE);
}

void Form2Window::PaintNow(Control control) {
  const HWND child = ControlWindow(control);
  ::RedrawWindow(child != nullptr ? child : window_, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void Form2Window::SetFocus(Control control) {
  if (const HWND child = ControlWindow(control)) {
    focus_ = child;
    ::SetFocus(child);
  }
}

// One tooltip control for the window, each control a tool of it.
void Form2Window::SetToolTip(Control control, const std::string& text) {
  const HWND child = ControlWindow(control);
  if (child == nullptr) return;
  if (tooltip_ == nullptr) {
    tooltip_ =
        ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_,
                          nullptr, ::GetModuleHandleW(nullptr), nullptr);
  }
  std::wstring tip = Utf16Of(text);
  TOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = window_;
  tool.uId = reinterpret_cast<UINT_PTR>(child);
  tool.lpszText = tip.data();
  ::SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void Form2Window::SetTitle(const std::string& title) {
  ::SetWindowTextW(window_, Utf16Of(title).c_str());
}

void Form2Window::SetProgress(int value) {
  ::SendMessageW(ControlWindow(Control::kProgressBar1), PBM_SETPOS, static_cast<WPARAM>(value), 0);
}

void Form2Window::ShowMessage(const Message& message) { ShowMessageBox(window_, message); }

bool Form2Window::AskYesNo(const Message& question) { return AskInMessageBox(window_, question); }

std::optional<SecretBytes> Form2Window::AskPassword(const PasswordQuestion& question) {
  return AskInPasswordDialog(window_, question);
}

std::string Form2Window::ShowOpen(const std::string& filter) {
  return ChooseFileToOpen(window_, filter);
}

// Any thread: the task is queued, and the window woken to run it.
void Form2Window::Post(std::function<void()> task) {
  {
    std::lock_guard lock(posted_mutex_);
    posted_.push_back(std::move(task));
  }
  ::PostMessageW(window_, kPostedTask, 0, 0);
}

// Every task waiting, in order; one taken at a time, as a task may run a
// dialog whose own loop runs the next ones.
void Form2Window::RunPosted() {
  for (;;) {
    std::function<void()> task;
    {
      std::lock_guard lock(posted_mutex_);
      if (posted_.empty()) return;
      task = std::move(posted_.front());
      posted_.pop_front();
    }
    task();
  }
}

void Form2Window::EndProgram(int status) { end_program_(status); }

// A dialog's way with the focus: kept while the window is inactive, given back
// when it is active again, first to the first tab stop.
void Form2Window::OnActivate(bool active) {
  const HWND focus = ::GetFocus();
  if (!active) {
    if (focus != nullptr && ::IsChild(window_, focus)) focus_ = focus;
    return;
  }
  const bool usable = focus_ != nullptr && ::IsWindowEnabled(focus_) && ::IsWindowVisible(focus_);
  const HWND target = usable ? focus_ : TabStopAfter(nullptr);
  if (target != nullptr) ::SetFocus(target);
}

// IsDialogMessage asks which button Enter presses: the focused one.
LRESULT Form2Window::DefaultButton() const {
  const HWND focus = ::GetFocus();
  const Control control = ControlOf(focus);
  if (focus == nullptr || LayoutOf(control).kind != ControlKind::kButton) return 0;
  return MAKELRESULT(::GetDlgCtrlID(focus), DC_HASDEFID);
}

void Form2Window::OnDropFiles(HDROP drop) {
  std::vector<std::string> files;
  {
    const DropScope scope(drop);
    files = DroppedFiles(drop);
  }
  if (form_) form_->Drop(files);
}

// Closing the window ends the program, once Form2 allows it.
void Form2Window::OnClose() {
  if (form_ && !form_->CloseRequested()) return;
  ::ShowWindow(window_, SW_HIDE);
  EndProgram(0);
}

}  // namespace zerova
