#include "window/win32/message_box.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "window/win32/utf16.h"

namespace zerova {
namespace {

// A dialog unit across is a quarter of the dialog font's average character.
constexpr UINT kUnitsPerCharacter = 4;
constexpr UINT kWidestBox = 480;  // dialog units

// Sets the main icon of `config` for `icon`.
void SetIcon(TASKDIALOGCONFIG& config, MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kInformation:
      config.pszMainIcon = TD_INFORMATION_ICON;
      return;
    case MessageIcon::kCritical:
      config.pszMainIcon = TD_ERROR_ICON;
      return;
    case MessageIcon::kQuestion:  // task dialogs have no question icon of their own
      config.dwFlags |= TDF_USE_HICON_MAIN;
      config.hMainIcon = ::LoadIconW(nullptr, IDI_QUESTION);
      return;
    case MessageIcon::kNone:
      return;
  }
}

// The width that keeps `text`'s longest line on one line, as far as kWidestBox allows.
UINT WidthForOneLine(const std::wstring& text) {
  std::size_t longest = 0, start = 0;
  for (std::size_t end; (end = text.find(L'\n', start)) != std::wstring::npos; start = end + 1)
    longest = std::max(longest, end - start);
  longest = std::max(longest, text.size() - start);
  return std::min(static_cast<UINT>(longest) * kUnitsPerCharacter, kWidestBox);
}

// The button pressed: IDOK, IDYES, IDNO, or IDCANCEL for Escape and a close.
int Show(HWND owner, const Message& message, TASKDIALOG_COMMON_BUTTON_FLAGS buttons, int initial) {
  const std::wstring title = Utf16Of(message.title), text = Utf16Of(message.text),
                     informative = Utf16Of(message.informative), details = Utf16Of(message.details);
  TASKDIALOGCONFIG config{};
  config.cbSize = sizeof config;
  config.hwndParent = owner;
  config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION | TDF_POSITION_RELATIVE_TO_WINDOW;
  config.pszWindowTitle = title.c_str();
  config.pszMainInstruction = text.c_str();
  if (!informative.empty()) config.pszContent = informative.c_str();
  if (!details.empty()) config.pszExpandedInformation = details.c_str();
  if (message.informative_on_one_line) config.cxWidth = WidthForOneLine(informative);
  config.dwCommonButtons = buttons;
  config.nDefaultButton = initial;
  SetIcon(config, message.icon);
  int pressed = IDCANCEL;
  if (FAILED(::TaskDialogIndirect(&config, &pressed, nullptr, nullptr))) return IDCANCEL;
  return pressed;
}

}  // namespace

void ShowMessageBox(HWND owner, const Message& message) {
  Show(owner, message, TDCBF_OK_BUTTON, IDOK);
}

bool AskInMessageBox(HWND owner, const Message& question) {
  return Show(owner, question, TDCBF_YES_BUTTON | TDCBF_NO_BUTTON, IDNO) == IDYES;
}

}  // namespace zerova
