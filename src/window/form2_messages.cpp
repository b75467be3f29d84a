#include "window/form2_messages.h"

#include <filesystem>
#include <system_error>

#include "services/error.h"
#include "window/form2_layout.h"

namespace zerova {
namespace {

// Paths are UTF-8 text; std::filesystem takes them as such on every platform.
std::filesystem::path PathOf(const std::string& path) {
  return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

std::string TextOf(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::string Quoted(const std::string& name) { return "\u201C" + name + "\u201D"; }

// The first line of a failure's box: what could not be done, and to which
// file. A stop names the spreadsheet, whichever file its message names.
std::string Headline(const FailureMessage& failure, const std::string& source) {
  const bool at_source = failure.cancelled || failure.file.empty() || failure.file == source;
  const std::string name = FileNameOf(at_source ? source : failure.file);
  if (name.empty()) return "Zerova could not convert the file.";
  if (failure.cancelled) return "Zerova stopped converting " + Quoted(name) + ".";
  if (at_source) return "Zerova could not convert " + Quoted(name) + ".";
  return "Zerova could not write " + Quoted(name) + ".";
}

}  // namespace

Message CompletionBox(const std::string& message, const std::string& document,
                      const std::vector<std::string>& notes) {
  Message box{MessageIcon::kNone, kApplicationTitle, message, document, "", true};
  for (const std::string& note : notes) box.informative += "\n\n" + AsSentence(note);
  return box;
}

Message FailureBox(const FailureMessage& failure, const std::string& source) {
  const std::string& file = failure.file.empty() ? source : failure.file;
  return {failure.cancelled ? MessageIcon::kInformation : MessageIcon::kCritical,
          kApplicationTitle,
          Headline(failure, source),
          AsSentence(PrintableText(failure.detail)),
          file.empty() ? "" : FullPath(file),
          false};
}

Message StopQuestion(bool reading) {
  return {MessageIcon::kQuestion,
          kApplicationTitle,
          reading ? "Stop the conversion? The workbook is still being read; nothing has been "
                    "written yet."
                  : "Stop the conversion? The incomplete document will be removed.",
          "",
          "",
          false};
}

PasswordQuestion PasswordQuestionFor(const std::string& file, bool previous_was_wrong) {
  const std::string name = FileNameOf(file);
  return {name, previous_was_wrong, "Password",
          "The workbook " + Quoted(name) + " is password-protected.\n" +
              (previous_was_wrong ? "The password is wrong. Type it again:" : "Type its password:"),
          "Password"};
}

std::string TitleNaming(const std::string& path) {
  return FileNameOf(path) + " \u2013 " + kFormCaption;
}

std::string AsSentence(std::string text) {
  if (text.empty()) return text;
  if (text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 'a' + 'A');
  const char last = text.back();
  if (last != '.' && last != '!' && last != '?') text += '.';
  return text;
}

std::string FileNameOf(const std::string& path) { return TextOf(PathOf(path).filename()); }

std::string FullPath(const std::string& path) {
  std::error_code error;
  const std::filesystem::path full = std::filesystem::absolute(PathOf(path), error);
  return error ? path : TextOf(full.lexically_normal());
}

bool IsRegularFile(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(PathOf(path), error);
}

}  // namespace zerova
