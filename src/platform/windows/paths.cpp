// Paths on Windows: '\' and '/' both separate; a full path starts with a drive
// ("C:\") or two separators (a share, or the "\\?\" of a long path); names are
// compared without regard to case, as NTFS does.
#include "services/paths.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>

#include "platform/windows/device_names.h"
#include "platform/windows/wide_text.h"

namespace zerova {
namespace {

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Where the name after the folder part of `path` starts.
std::size_t NameStart(std::string_view path) {
  for (std::size_t i = path.size(); i > 0; --i) {
    if (IsPathSeparator(path[i - 1])) return i;
  }
  return path.size() >= 2 && path[1] == ':' && IsDriveLetter(path[0]) ? 2 : 0;
}

// `path` with '/' as '\', without a trailing separator, for comparing folders.
std::wstring FolderKey(std::wstring path) {
  std::replace(path.begin(), path.end(), L'/', L'\\');
  while (path.size() > 3 && path.back() == L'\\') path.pop_back();
  return path;
}

// True iff `folder` is `system` or lies under it, but for case.
bool IsUnder(const std::wstring& folder, const std::wstring& system) {
  if (system.empty() || folder.size() < system.size()) return false;
  const int length = static_cast<int>(system.size());
  return ::CompareStringOrdinal(folder.c_str(), length, system.c_str(), length, TRUE) ==
             CSTR_EQUAL &&
         (folder.size() == system.size() || folder[system.size()] == L'\\');
}

}  // namespace

bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

// A path from a root: a drive's ("C:\"), a share's ("\\server\"), or the
// current drive's ("\"), which depends on no folder either.
bool IsFullPath(std::string_view path) {
  if (!path.empty() && IsPathSeparator(path[0])) return true;
  return path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == ':' && IsPathSeparator(path[2]);
}

// Joined with the separator the folder already uses, '\' unless it uses '/' alone.
std::string PathInFolder(std::string_view folder, std::string_view name) {
  std::string path(folder);
  const bool forward = path.find('/') != std::string::npos && path.find('\\') == std::string::npos;
  if (path.empty() || !IsPathSeparator(path.back())) path.push_back(forward ? '/' : '\\');
  path.append(name);
  return path;
}

std::string FolderOf(std::string_view path) {
  const std::size_t start = NameStart(path);
  if (start == 0) return ".";
  std::string_view folder = path.substr(0, start);
  // The separator before the name goes, unless the folder is a root ("C:\", "\").
  if (IsPathSeparator(folder.back()) && folder.size() > 1 &&
      !(folder.size() == 3 && folder[1] == ':')) {
    folder.remove_suffix(1);
  }
  return std::string(folder);
}

std::string FileNameOf(std::string_view path) { return std::string(path.substr(NameStart(path))); }

const char* SystemFoldersNamed() { return "in Program Files or the Windows folder"; }

bool IsSystemFolder(std::string_view folder) {
  const std::wstring key = FolderKey(Wide(folder));
  for (const wchar_t* variable :
       {L"ProgramFiles", L"ProgramFiles(x86)", L"ProgramW6432", L"SystemRoot"}) {
    const wchar_t* value = ::_wgetenv(variable);
    if (value != nullptr && IsUnder(key, FolderKey(value))) return true;
  }
  return false;
}

bool IsValidFileName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 0x20 ||
        std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos) {
      return false;
    }
  }
  return name.back() != '.' && name.back() != ' ' && !IsDeviceName(name);
}

bool SameFileName(std::string_view a, std::string_view b) {
  const std::wstring wide_a = Wide(a), wide_b = Wide(b);
  return ::CompareStringOrdinal(wide_a.c_str(), static_cast<int>(wide_a.size()), wide_b.c_str(),
                                static_cast<int>(wide_b.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace zerova
