// Paths on POSIX systems: '/' separates, and only '/' and NUL are kept out of
// a file's name.
#include "services/paths.h"

namespace zerova {

bool IsPathSeparator(char c) { return c == '/'; }

bool IsFullPath(std::string_view path) { return !path.empty() && path.front() == '/'; }

std::string PathInFolder(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (path.empty() || path.back() != '/') path.push_back('/');
  path.append(name);
  return path;
}

std::string FolderOf(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) return ".";
  return slash == 0 ? "/" : std::string(path.substr(0, slash));
}

std::string FileNameOf(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

const char* SystemFoldersNamed() { return "under /usr, /bin, /sbin or /opt"; }

bool IsSystemFolder(std::string_view folder) {
  // The folders an installed program runs from, whose files belong to packages.
  static constexpr std::string_view kSystemFolders[] = {"/usr", "/bin", "/sbin", "/opt"};
  for (const std::string_view system : kSystemFolders) {
    if (folder.starts_with(system) &&
        (folder.size() == system.size() || folder[system.size()] == '/')) {
      return true;
    }
  }
  return false;
}

bool IsValidFileName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

bool SameFileName(std::string_view a, std::string_view b) { return a == b; }

}  // namespace zerova
