// A command line made for another program splits, as that program splits it
// (CommandLineToArgvW), into the very arguments it was made of: white space,
// quotes, backslashes before a quote or at the end, and text beyond ASCII.
#include "platform/windows/argument_quoting.h"

#include <gtest/gtest.h>
#include <windows.h>
// After windows.h:
#include <shellapi.h>

#include <string>
#include <vector>

namespace zerova {
namespace {

TEST(ArgumentQuotingTest, ArgumentsComeBackAsTheyWereGiven) {
  const std::wstring program = L"C:\\Program Files\\Zerova\\zerova-window.exe";
  const std::vector<std::wstring> arguments = {
      L"plain",           L"",
      L"two words",       L"tab\there",
      L"say \"hi\"",      L"\"",
      L"back\\slash",     L"a\\\\b c",
      L"trailing\\",      L"C:\\My Files\\",
      L"\\\\\"x\\\\",     L"é 日本.xlsx",
      L"--sheet=Q1 2024", L"\\\\server\\share",
  };
  int count = 0;
  wchar_t** read = ::CommandLineToArgvW(CommandLineFor(program, arguments).c_str(), &count);
  ASSERT_NE(read, nullptr);
  ASSERT_EQ(count, static_cast<int>(arguments.size()) + 1);
  EXPECT_EQ(read[0], program);
  for (std::size_t i = 0; i < arguments.size(); ++i) EXPECT_EQ(read[i + 1], arguments[i]) << i;
  ::LocalFree(read);
}

}  // namespace
}  // namespace zerova
