#include "services/error.h"

#include <cstring>

namespace zerova {
namespace {

std::string Compose(std::string_view file, std::string_view what) {
  std::string message;
  if (!file.empty()) {
    message.append(file);
    message.append(": ");
  }
  message.append(what);
  return message;
}

}  // namespace

Error::Error(std::string_view file, std::string_view what)
    : std::runtime_error(Compose(file, what)), file_(file) {}

FileSystemError PosixError(std::string_view file, std::string_view action, int error_number) {
  std::string what = "could not ";
  what.append(action);
  what.append(": ");
  what.append(std::strerror(error_number));
  return FileSystemError(file, what);
}

}  // namespace zerova
