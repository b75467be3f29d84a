// The running program on Windows: its arguments as the system keeps them, in
// UTF-16; its standard streams in binary mode and its console in UTF-8; and
// another program started beside it (Windows has no exec).
#include "services/process.h"

#include <windows.h>
// After windows.h:
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>
#include <stdlib.h>  // _wgetenv

#include <memory>

#include "platform/windows/argument_quoting.h"
#include "platform/windows/wide_text.h"

namespace zerova {
namespace {

// Frees what the system allocated with LocalAlloc.
struct LocalFreeing {
  void operator()(void* memory) const { ::LocalFree(memory); }
};

// The console's code pages before the program set them to UTF-8. They are
// the console's, which the shell that started the program shares: they go
// back as they were when the program ends.
UINT input_code_page = 0;
UINT output_code_page = 0;

void RestoreCodePages() {
  ::SetConsoleCP(input_code_page);
  ::SetConsoleOutputCP(output_code_page);
}

std::string Variable(const wchar_t* name) {
  const wchar_t* value = ::_wgetenv(name);
  return value != nullptr ? Utf8(value) : "";
}

}  // namespace

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  int count = 0;
  const std::unique_ptr<wchar_t*[], LocalFreeing> wide(
      ::CommandLineToArgvW(::GetCommandLineW(), &count));
  if (wide == nullptr) return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> arguments;
  for (int i = 0; i < count; ++i) arguments.push_back(Utf8(wide[i]));
  return arguments;
}

void PrepareStandardStreams() {
  // Standard output keeps its text mode, so that the program's lines end in
  // CR LF as Windows' do: a document sent there goes through a binary stream
  // of its own (output_stream.cpp).
  ::_setmode(::_fileno(stdin), _O_BINARY);
  input_code_page = ::GetConsoleCP();
  output_code_page = ::GetConsoleOutputCP();
  if (input_code_page == 0 || output_code_page == 0) return;  // no console
  ::SetConsoleCP(CP_UTF8);
  ::SetConsoleOutputCP(CP_UTF8);
  std::atexit(RestoreCodePages);
}

bool IsTerminal(std::FILE* stream) {
  // Not _isatty, which is true of NUL as well.
  DWORD mode = 0;
  const HANDLE handle = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream)));
  return ::GetConsoleMode(handle, &mode) != 0;
}

bool IsProgram(const std::string& path) {
  try {
    const DWORD attributes = ::GetFileAttributesW(WidePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  } catch (const Error&) {
    return false;  // no name of a file on Windows
  }
}

std::string StartProgramInstead(const std::string& path,
                                const std::vector<std::string>& arguments) {
  try {
    const std::wstring program = WidePath(path);
    std::vector<std::wstring> wide_arguments;
    for (const std::string& argument : arguments) wide_arguments.push_back(Wide(argument));
    std::wstring line = CommandLineFor(Wide(path), wide_arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &started)) {
      return WindowsErrorText(::GetLastError());
    }
    const ScopedHandle process(started.hProcess), thread(started.hThread);
    return "";
  } catch (const Error& e) {
    return e.detail();
  }
}

std::string HomeFolder() {
  if (std::string profile = Variable(L"USERPROFILE"); !profile.empty()) return profile;
  const std::string drive = Variable(L"HOMEDRIVE"), folder = Variable(L"HOMEPATH");
  return drive.empty() || folder.empty() ? "" : drive + folder;
}

std::string ChangeFolder(const std::string& folder) {
  try {
    if (::SetCurrentDirectoryW(Wide(folder).c_str())) return "";
  } catch (const Error& e) {
    return e.detail();
  }
  return WindowsErrorText(::GetLastError());
}

}  // namespace zerova
