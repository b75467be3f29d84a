// cd1's dialog on Win32: the system's open-file dialog (GetOpenFileNameW),
// over the window, for one existing file of the types Form2 offers.
#ifndef ZEROVA_WINDOW_WIN32_OPEN_DIALOG_H_
#define ZEROVA_WINDOW_WIN32_OPEN_DIALOG_H_

#include <windows.h>

#include <string>

namespace zerova {

// The chosen file's full path, or "" when the user cancels. `filter` is
// Form2View::ShowOpen's ("Description|pattern;pattern|..."), the first type
// chosen. The current folder stays as it was, whatever folder is browsed.
std::string ChooseFileToOpen(HWND owner, const std::string& filter);

// `filter` as the dialog takes it: each type's description followed by its
// patterns, in brackets, then the patterns, each part ended by a null
// character, and the whole by another: "(Excel File) (*.xls)\0*.xls\0\0".
std::wstring DialogFilter(const std::string& filter);

}  // namespace zerova

#endif  // ZEROVA_WINDOW_WIN32_OPEN_DIALOG_H_
