// The device names Windows keeps in every folder (CON, PRN, AUX, NUL, COM1 to
// COM9, LPT1 to LPT9, CONIN$, CONOUT$), with any extension: "nul.txt" and
// "C:\work\con" name devices too, not files.
#ifndef ZEROVA_PLATFORM_WINDOWS_DEVICE_NAMES_H_
#define ZEROVA_PLATFORM_WINDOWS_DEVICE_NAMES_H_

#include <string>
#include <string_view>

namespace zerova {

// True iff the file name `name` (no folder) names a device.
inline bool IsDeviceName(std::string_view name) {
  std::string stem(name.substr(0, name.find('.')));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  for (char& c : stem) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
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

}  // namespace zerova

#endif  // ZEROVA_PLATFORM_WINDOWS_DEVICE_NAMES_H_
