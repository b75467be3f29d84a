// The real-world corpus at ZEROVA_CORPUS (see its README.md): beside each
// xls/NAME.xls, NAME.expected is the document it must give, NAME.refused says it
// must be refused, NAME.any that it may be read or refused but never crash; beside
// each file of more/, NAME.converts says it must give a well-formed document.
// Skipped when the corpus is absent.
#include <gtest/gtest.h>

#include <algorithm>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "services/error.h"
#include "support/document.h"
#include "support/given_passwords.h"

namespace zerova::test {
namespace {

namespace fs = std::filesystem;

// "" when `expected` and `got` are the same bytes; else where they part.
std::string FirstDifference(const std::string& expected, const std::string& got) {
  const auto at = std::mismatch(expected.begin(), expected.end(), got.begin(), got.end());
  if (at.first == expected.end() && at.second == got.end()) return "";
  const auto from = static_cast<std::size_t>(at.first - expected.begin());
  return "from byte " + std::to_string(from) + ": expected \"" + expected.substr(from, 60) +
         "\", got \"" + got.substr(from, 60) + "\"";
}

// What went wrong with the file at `xls`, or "" when it behaved as its sibling file says.
std::string CheckCorpusFile(const fs::path& xls) {
  const fs::path base = fs::path(xls).replace_extension();
  const auto sibling = [&](const char* ext) { return fs::path(base).concat(ext); };
  const std::vector<std::uint8_t> bytes = ReadFileBytes(xls.string());
  std::string document;
  std::string refusal;
  try {
    document = DocumentOfBytes(bytes, xls.filename().string());
  } catch (const Error& e) {
    refusal = e.what();
  } catch (const std::exception& e) {
    return std::string("threw something other than zerova::Error: ") + e.what();
  }
  if (fs::exists(sibling(".expected"))) {
    if (!refusal.empty()) return "refused: " + refusal;
    const std::vector<std::uint8_t> want = ReadFileBytes(sibling(".expected").string());
    return FirstDifference(std::string(want.begin(), want.end()), document);
  }
  if (fs::exists(sibling(".refused"))) {
    if (refusal.empty()) return "read, but must be refused";
    const std::string prefix = xls.filename().string() + ": ";
    return refusal.rfind(prefix, 0) == 0 ? "" : "refusal does not name the file: " + refusal;
  }
  if (fs::exists(sibling(".converts"))) {
    if (!refusal.empty()) return "refused: " + refusal;
    return IsWellFormedXml(document) ? "" : "document is not well-formed";
  }
  if (!fs::exists(sibling(".any"))) return "no .expected, .refused, .converts or .any beside it";
  return refusal.empty() && !IsWellFormedXml(document) ? "document is not well-formed" : "";
}

// Checks every file in the corpus folder `name` whose extension is `extension`.
void CheckCorpusFolder(const char* name, const char* extension) {
  const fs::path folder = fs::path(ZEROVA_CORPUS) / name;
  if (!fs::is_directory(folder)) GTEST_SKIP() << "no corpus at " << folder;
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() == extension) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  int failed = 0;
  for (const fs::path& file : files) {
    const std::string fault = CheckCorpusFile(file);
    if (!fault.empty()) {
      ++failed;
      ADD_FAILURE() << file.filename().string() << ": " << fault;
    }
  }
  EXPECT_EQ(failed, 0) << "of " << files.size() << " files";
}

TEST(CorpusTest, EveryFileBehavesAsItsExpectationSays) { CheckCorpusFolder("xls", ".xls"); }

// more/ holds .xlsb files, XML spreadsheets, web pages and bare Excel 2.x-4.x
// streams (.xls, some named .XLS), each of which must convert (NAME.converts).
TEST(CorpusTest, EveryOtherKindOfWorkbookConverts) {
  for (const char* extension : {".xlsb", ".xml", ".htm", ".xls", ".XLS"}) {
    CheckCorpusFolder("more", extension);
  }
}

// The corpus's encrypted workbooks, each with the password its project's tests give
// ("" for Excel's default): refused without it, and its first label with it.
TEST(CorpusTest, EncryptedFilesOpenWithTheirPasswords) {
  const fs::path folder = fs::path(ZEROVA_CORPUS) / "xls";
  if (!fs::is_directory(folder)) GTEST_SKIP() << "no corpus at " << folder;
  const struct {
    const char* file;  // and its encryption
    const char* password;
    const char* label;
  } cases[] = {
      {"exceldatareader__Test_git_issue_242_xor_pwd_password.xls", "password",
       "Password: password"},                                      // BIFF5, XOR
      {"poi__xor-encryption-abc.xls", "abc", "1"},                 // BIFF8, XOR
      {"poi__60284.xls", "", ""},                                  // BIFF5, XOR, A1 empty
      {"parseexcel__pers-protected.xls", "", "1"},                 // RC4, 40-bit MD5 key
      {"sheetjs__password_2002_128_strong.xls", "password", "1"},  // RC4 CryptoAPI, 128 bits
  };
  for (const auto& c : cases) {
    const fs::path path = folder / c.file;
    // The folder is there, so each of its files must be.
    if (!fs::exists(path)) {
      ADD_FAILURE() << "the corpus lacks " << path;
      continue;
    }
    const std::vector<std::uint8_t> bytes = ReadFileBytes(path.string());
    if (*c.password != '\0') {
      EXPECT_THROW(DocumentOfBytes(bytes, c.file), ReadError) << c.file;
    }
    GivenPasswords source({c.password});
    try {
      const std::string document = DocumentOfBytes(bytes, c.file, &source);
      const std::string label = std::string("lbl=\"") + c.label + "\"";
      EXPECT_TRUE(*c.label == '\0' ? document.find("<node") == std::string::npos
                                   : document.find(label) != std::string::npos)
          << c.file << ": " << document.substr(0, 200);
    } catch (const Error& e) {
      ADD_FAILURE() << c.file << ": " << e.what();
    }
  }
}

}  // namespace
}  // namespace zerova::test
