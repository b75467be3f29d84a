#include "window/win32/open_dialog.h"

#include <commdlg.h>

#include <vector>

#include "window/win32/utf16.h"

namespace zerova {
namespace {

constexpr DWORD kLongestPath = 32768;  // in characters, as the W functions allow

}  // namespace

std::wstring DialogFilter(const std::string& filter) {
  std::vector<std::wstring> parts;
  std::size_t start = 0;
  for (std::size_t end; (end = filter.find('|', start)) != std::string::npos; start = end + 1)
    parts.push_back(Utf16Of(filter.substr(start, end - start)));
  parts.push_back(Utf16Of(filter.substr(start)));
  std::wstring dialog_filter;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    dialog_filter += parts[i] + L" (" + parts[i + 1] + L")";
    dialog_filter += L'\0';
    dialog_filter += parts[i + 1];
    dialog_filter += L'\0';
  }
  dialog_filter += L'\0';
  return dialog_filter;
}

std::string ChooseFileToOpen(HWND owner, const std::string& filter) {
  const std::wstring types = DialogFilter(filter);
  std::wstring path(kLongestPath, L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = types.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = kLongestPath;
  dialog.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST |
                 OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!::GetOpenFileNameW(&dialog)) return "";
  path.resize(path.find(L'\0'));
  return Utf8Of(path);
}

}  // namespace zerova
