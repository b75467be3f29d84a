// The quoting of a command line on Windows, where the program started gets
// one string and splits it into its arguments itself (CommandLineToArgvW, or
// the C runtime's startup, by the same rules for all that is quoted here).
#include "platform/windows/argument_quoting.h"

namespace zerova {
namespace {

// `argument` as one argument of a command line.
std::wstring Quoted(std::wstring_view argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring_view::npos) {
    return std::wstring(argument);  // read back as it is
  }
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    // Backslashes before a quote are doubled, and one more escapes the quote.
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    quoted.push_back(c);
    backslashes = 0;
  }
  // Backslashes before the closing quote are doubled too.
  quoted.append(backslashes * 2, L'\\');
  quoted.push_back(L'"');
  return quoted;
}

}  // namespace

std::wstring CommandLineFor(std::wstring_view program, const std::vector<std::wstring>& arguments) {
  // The program's name is read up to the next quote, backslashes and all.
  std::wstring line = L"\"" + std::wstring(program) + L"\"";
  for (const std::wstring& argument : arguments) line.append(L" ").append(Quoted(argument));
  return line;
}

}  // namespace zerova
