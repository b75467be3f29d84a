#include "window/win32/password_dialog.h"

#include <string>
#include <vector>

#include "window/win32/utf16.h"

namespace zerova {
namespace {

constexpr WORD kEntry = 100;
constexpr WORD kButtonClass = 0x0080, kEditClass = 0x0081, kStaticClass = 0x0082;

// A dialog template, written as the system reads it: 16-bit words, each item
// starting on a 32-bit boundary. Places are in dialog units.
class DialogTemplate {
 public:
  DialogTemplate(const std::wstring& title, short width, short height, WORD items) {
    Long(DS_SHELLFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU);
    Long(0);
    words_.push_back(items);
    Place(0, 0, width, height);
    words_.insert(words_.end(), {0, 0});  // no menu, the standard class
    Text(title);
    words_.push_back(8);  // points
    Text(L"MS Shell Dlg");
  }

  void Item(WORD window_class, DWORD style, WORD id, const std::wstring& text, short x, short y,
            short width, short height) {
    if (words_.size() % 2 != 0) words_.push_back(0);
    Long(WS_CHILD | WS_VISIBLE | style);
    Long(0);
    Place(x, y, width, height);
    words_.insert(words_.end(), {id, 0xFFFF, window_class});
    Text(text);
    words_.push_back(0);  // no creation data
  }

  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void Long(DWORD value) { words_.insert(words_.end(), {LOWORD(value), HIWORD(value)}); }
  void Place(short x, short y, short width, short height) {
    for (short value : {x, y, width, height}) words_.push_back(static_cast<WORD>(value));
  }
  void Text(const std::wstring& text) {
    words_.insert(words_.end(), text.begin(), text.end());
    words_.push_back(0);
  }

  std::vector<WORD> words_;  // a vector's data is aligned for any of its uses here
};

// The entry's text in UTF-8; the entry is emptied and every copy wiped.
SecretBytes TakeEntry(HWND entry) {
  const int length = ::GetWindowTextLengthW(entry);
  std::wstring typed(static_cast<std::size_t>(length) + 1, L'\0');
  typed.resize(static_cast<std::size_t>(::GetWindowTextW(entry, typed.data(), length + 1)));
  std::string utf8 = Utf8Of(typed);
  SecretBytes password(utf8.begin(), utf8.end());
  WipeString(utf8);
  WipeBytes(typed.data(), typed.size() * sizeof(wchar_t));
  ::SetWindowTextW(entry, std::wstring(typed.size(), L' ').c_str());  // over the control's copy
  ::SetWindowTextW(entry, L"");
  return password;
}

INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM w, LPARAM l) noexcept {
  if (message == WM_INITDIALOG) {
    ::SetWindowLongPtrW(dialog, DWLP_USER, l);
    ::SetFocus(::GetDlgItem(dialog, kEntry));
    return FALSE;  // the focus is set
  }
  if (message != WM_COMMAND || (LOWORD(w) != IDOK && LOWORD(w) != IDCANCEL)) return FALSE;
  auto* answer =
      reinterpret_cast<std::optional<SecretBytes>*>(::GetWindowLongPtrW(dialog, DWLP_USER));
  const HWND entry = ::GetDlgItem(dialog, kEntry);
  SecretBytes typed = TakeEntry(entry);
  if (LOWORD(w) == IDOK) *answer = std::move(typed);
  ::EndDialog(dialog, LOWORD(w));
  return TRUE;
}

}  // namespace

std::optional<SecretBytes> AskInPasswordDialog(HWND owner, const PasswordQuestion& question) {
  DialogTemplate dialog(Utf16Of(question.title), 240, 88, 5);
  dialog.Item(kStaticClass, SS_LEFT | SS_NOPREFIX, 0xFFFF, Utf16Of(question.text), 7, 7, 226, 32);
  dialog.Item(kStaticClass, SS_LEFT | SS_NOPREFIX, 0xFFFF, Utf16Of(question.entry_name) + L":", 7,
              48, 46, 10);
  dialog.Item(kEditClass, WS_BORDER | WS_TABSTOP | ES_PASSWORD | ES_AUTOHSCROLL, kEntry, L"", 55,
              46, 178, 14);
  dialog.Item(kButtonClass, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, IDOK, L"OK", 129, 67, 50, 14);
  dialog.Item(kButtonClass, BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL, L"Cancel", 183, 67, 50, 14);
  std::optional<SecretBytes> answer;
  ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), dialog.get(), owner, DialogProcedure,
                            reinterpret_cast<LPARAM>(&answer));
  return answer;
}

}  // namespace zerova
