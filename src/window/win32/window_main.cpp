// zerova-window.exe: the program's window on Windows. `zerova.exe` starts it
// when given no file; the desktop starts it from the Start menu and "Open with".
//
//   zerova-window.exe [FILE]        shows the window, with FILE chosen when one
//                                   is given, until the program ends
//   zerova-window.exe --render PNG [FILE]
//                                   draws the window, with FILE chosen, with
//                                   its frame and title, into the image PNG and
//                                   exits; for screenshots
#include <objbase.h>
#include <shellapi.h>
#include <windows.h>
// After windows.h:
#include <commctrl.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "window/form2_messages.h"
#include "window/win32/form2_window.h"
#include "window/win32/utf16.h"
#include "window/win32/window_image.h"

namespace {

struct Arguments {
  std::optional<std::string> file;
  std::optional<std::wstring> render_path;  // --render
};

// The program's arguments as the system keeps them, in UTF-16, after its name.
std::vector<std::wstring> WideArguments() {
  struct LocalFreeing {
    void operator()(wchar_t** memory) const { ::LocalFree(memory); }
  };
  int count = 0;
  const std::unique_ptr<wchar_t*[], LocalFreeing> wide(
      ::CommandLineToArgvW(::GetCommandLineW(), &count));
  std::vector<std::wstring> arguments;
  for (int i = 1; wide != nullptr && i < count; ++i) arguments.emplace_back(wide[i]);
  return arguments;
}

// Parses the command line; nullopt when it is not one of the forms above.
std::optional<Arguments> Parse(const std::vector<std::wstring>& words) {
  Arguments arguments;
  std::size_t i = 0;
  if (i + 1 < words.size() && words[i] == L"--render") {
    arguments.render_path = words[i + 1];
    i += 2;
  }
  if (i < words.size() && !words[i].starts_with(L"-")) arguments.file = zerova::Utf8Of(words[i++]);
  if (i != words.size()) return std::nullopt;
  return arguments;
}

// COM on this thread (the file dialog, the image encoder) while the program runs.
struct ComScope {
  ComScope() { ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE); }
  ~ComScope() { ::CoUninitialize(); }
};

void RunPendingMessages() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
}

// Draws a new window, with `file` chosen when there is one, into the PNG at
// `path`; returns the exit status.
int Render(const Arguments& arguments) {
  zerova::Form2Window form;
  if (arguments.file) {
    // The failure box would wait for a user; there is none.
    const std::string& file = *arguments.file;
    if (!zerova::IsRegularFile(file) ||
        !std::ifstream(std::filesystem::path(zerova::Utf16Of(file))).good()) {
      std::fprintf(stderr, "zerova-window: %s: not a file that can be read\n", file.c_str());
      return 1;
    }
    form.OpenFile(file);
  }
  form.Show();
  RunPendingMessages();
  if (!zerova::WritePng(zerova::CaptureWindow(form.handle(), true), *arguments.render_path)) {
    std::fprintf(stderr, "zerova-window: %s: could not write the image\n",
                 zerova::Utf8Of(*arguments.render_path).c_str());
    return 1;
  }
  return 0;
}

// The window until the program ends: its status.
int Run(const Arguments& arguments) {
  zerova::Form2Window form;
  form.Show();
  // Once the window is up, so that a failure box for the file stands over it.
  if (arguments.file) form.Post([&form, file = *arguments.file] { form.OpenFile(file); });
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (form.TakesKey(message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace

int main() {
  const std::optional<Arguments> arguments = Parse(WideArguments());
  if (!arguments) {
    std::fprintf(stderr, "usage: zerova-window [--render PNG] [FILE]\n");
    return 2;
  }
  const INITCOMMONCONTROLSEX controls = {
      sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
  ::InitCommonControlsEx(&controls);
  const ComScope com;
  try {
    return arguments->render_path ? Render(*arguments) : Run(*arguments);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "zerova: cannot open the window: %s\n", e.what());
    return 1;
  }
}
