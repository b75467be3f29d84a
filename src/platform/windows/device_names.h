// The device names Windows keeps in every folder (CON, PRN, AUX, NUL, COM1 to
// COM9, LPT1 to LPT9, CONIN$, CONOUT$), with any extension: "nul.txt" and
// "C:\work\con" name devices too, not files. And the names of pipes.
#ifndef ZEROVA_PLATFORM_WINDOWS_DEVICE_NAMES_H_
#define ZEROVA_PLATFORM_WINDOWS_DEVICE_NAMES_H_

#include <string>
#include <string_view>

namespace zerova {

// The part of the file name `name` (no folder) that names a device when one
// is named, in capitals: "con.txt" and "Con .xml" give "CON".
inline std::string DeviceStem(std::string_view name) {
  std::string stem(name.substr(0, name.find('.')));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  for (char& c : stem) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  return stem;
}

// True iff the file name `name` (no folder) names a device.
inline bool IsDeviceName(std::string_view name) {
  const std::string stem = DeviceStem(name);
  if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL" || stem == "CONIN$" ||
      stem == "CONOUT$") {
    return true;
  }
  // COM1 to COM9 and LPT1 to LPT9, and the superscript digits that Windows takes too.
  if (stem.size() < 4 || (stem.compare(0, 3, "COM") != 0 && stem.compare(0, 3, "LPT") != 0)) {
    return false;
  }
  const std::string_view digit = std::string_view(stem).substr(3);
  return (digit.size() == 1 && digit[0] >= '1' && digit[0] <= '9') || digit == "\xC2\xB9" ||
         digit == "\xC2\xB2" || digit == "\xC2\xB3";
}

// True iff `path` names a pipe: \\.\pipe\NAME, with '\' or '/' between the
// parts and "pipe" in any case.
inline bool IsPipeName(std::string_view path) {
  if (path.size() <= 9 || path[2] != '.') return false;
  for (const std::size_t i : {0, 1, 3, 8}) {
    if (path[i] != '\\' && path[i] != '/') return false;
  }
  std::string pipe(path.substr(4, 4));
  for (char& c : pipe) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return pipe == "pipe";
}

}  // namespace zerova

#endif  // ZEROVA_PLATFORM_WINDOWS_DEVICE_NAMES_H_
