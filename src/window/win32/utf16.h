// Text at the Win32 window's calls: Form2 speaks UTF-8, Win32's W functions
// UTF-16. Neither conversion fails: what is not valid in one becomes U+FFFD
// in the other, so a window always shows something.
#ifndef ZEROVA_WINDOW_WIN32_UTF16_H_
#define ZEROVA_WINDOW_WIN32_UTF16_H_

#include <string>
#include <string_view>

namespace zerova {

std::wstring Utf16Of(std::string_view text);
std::string Utf8Of(std::wstring_view text);

}  // namespace zerova

#endif  // ZEROVA_WINDOW_WIN32_UTF16_H_
