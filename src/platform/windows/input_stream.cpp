// Input streams on Windows: standard input's handle, a pipe by its name, the
// console and the other devices, read as their bytes come (input_reader.h), so
// that a stop ends a wait.
#include "services/input_stream.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <utility>

#include "platform/windows/device_names.h"
#include "platform/windows/input_reader.h"
#include "platform/windows/wide_text.h"
#include "services/error.h"
#include "services/paths.h"

namespace zerova {
namespace {

// The most one ReadFile is asked for.
constexpr std::size_t kMaxRead = std::size_t{1} << 30;

class HandleStream final : public InputStream {
 public:
  // Reads `handle`; `owned`, when valid, is the same handle, closed with the stream.
  HandleStream(HANDLE handle, ScopedHandle owned, std::string name)
      : handle_(handle), owned_(std::move(owned)), reader_(handle), name_(std::move(name)) {}

  std::size_t Read(std::uint8_t* to, std::size_t count,
                   const std::function<void()>& on_wake) override {
    DWORD got = 0;
    if (!reader_.Read(to, static_cast<DWORD>(std::min(count, kMaxRead)), &got, on_wake)) {
      throw ReadError(name_, "cannot read it: " + WindowsErrorText(::GetLastError()));
    }
    return got;
  }

  std::uint64_t KnownSize() override {
    LARGE_INTEGER size;
    if (::GetFileType(handle_) != FILE_TYPE_DISK || !::GetFileSizeEx(handle_, &size) ||
        size.QuadPart <= 0) {
      return 0;
    }
    return static_cast<std::uint64_t>(size.QuadPart);
  }

 private:
  HANDLE handle_;
  ScopedHandle owned_;
  InputReader reader_;
  std::string name_;
};

// What CreateFileW opens for the stream at `path`; "" when it is read as a file.
std::wstring StreamName(const std::string& path) {
  if (IsPipeName(path)) return Wide(path);
  const std::string name = FileNameOf(path);
  if (!IsDeviceName(name)) return L"";
  // The console's input, whatever folder or extension its name comes with.
  const std::string stem = DeviceStem(name);
  return stem == "CON" || stem == "CONIN$" ? L"CONIN$" : Wide(stem);
}

}  // namespace

std::unique_ptr<InputStream> StreamOnDescriptor(int descriptor, std::string name) {
  ::_setmode(descriptor, _O_BINARY);
  HANDLE handle = reinterpret_cast<HANDLE>(::_get_osfhandle(descriptor));
  // -2: the C runtime's mark of a standard stream that the program was not given.
  if (handle == reinterpret_cast<HANDLE>(-2)) handle = INVALID_HANDLE_VALUE;
  return std::make_unique<HandleStream>(handle, ScopedHandle(), std::move(name));
}

std::unique_ptr<InputStream> OpenStreamAt(const std::string& path) {
  const std::wstring name = StreamName(path);
  if (name.empty()) return nullptr;  // read as a file, which says what is wrong with it
  // A pipe's name opens its pipe at once; a writer that has not written yet is awaited.
  ScopedHandle handle(::CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr));
  if (!handle.valid()) {
    throw ReadError(path, "cannot open the file: " + WindowsErrorText(::GetLastError()));
  }
  const HANDLE raw = handle.get();
  return std::make_unique<HandleStream>(raw, std::move(handle), path);
}

}  // namespace zerova
