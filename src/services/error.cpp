#include "services/error.h"

#include <cerrno>
#include <cstring>

#include "services/utf8.h"

namespace zerova {
namespace {

void AppendHexBytes(std::string_view bytes, std::string& out) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    out.append("\\x");
    out.push_back(kDigits[b >> 4]);
    out.push_back(kDigits[b & 0xF]);
  }
}

// True iff the code point may stand in a one-line message as it is.
bool IsPrintable(char32_t cp) {
  return cp >= 0x20 && cp != 0x7F && !(cp >= 0x80 && cp <= 0x9F) && cp != 0x2028 && cp != 0x2029;
}

std::string Compose(std::string_view file, std::string_view what) {
  std::string message;
  if (!file.empty()) {
    message = PrintableText(file);
    message.append(": ");
  }
  message.append(PrintableText(what));
  return message;
}

}  // namespace

std::string PrintableText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    char32_t cp = 0;
    std::size_t len = DecodeUtf8(text, &cp);
    if (len == 0) {
      len = 1;
      AppendHexBytes(text.substr(0, 1), out);
    } else if (IsPrintable(cp)) {
      out.append(text.substr(0, len));
    } else if (cp == '\t') {
      out.append("\\t");
    } else if (cp == '\n') {
      out.append("\\n");
    } else if (cp == '\r') {
      out.append("\\r");
    } else {
      AppendHexBytes(text.substr(0, len), out);
    }
    text.remove_prefix(len);
  }
  return out;
}

Error::Error(std::string_view file, std::string_view what)
    : std::runtime_error(Compose(file, what)), file_(file), detail_(what) {}

ReadError Damaged(std::string_view file, std::string_view fact, std::string_view detail) {
  std::string what = "the file is damaged: ";
  what.append(fact);
  if (!detail.empty()) what.append(" (").append(detail).append(")");
  return ReadError(file, what);
}

FileSystemError PosixError(std::string_view file, std::string_view action, int error_number) {
  std::string what = "could not ";
  what.append(action);
  what.append(": ");
  what.append(std::strerror(error_number));
  // Limits the user set, and can raise.
  if (error_number == EMFILE) what.append(" (raise the limit with ulimit -n)");
  if (error_number == EFBIG) what.append(" (the file-size limit of ulimit -f)");
  return FileSystemError(file, what);
}

}  // namespace zerova
