// Opening the spreadsheet file, reading its first bytes, then the whole of it once.
#include "services/workbook_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "services/error.h"
#include "support/read_counter.h"

namespace zerova {
namespace {

using testing::BytesReadSoFar;

class WorkbookFileTest : public ::testing::Test {
 protected:
  WorkbookFileTest() {
    char pattern[] = "/tmp/zerova-workbook-file-XXXXXX";
    dir_ = ::mkdtemp(pattern);
  }
  ~WorkbookFileTest() override { std::filesystem::remove_all(dir_); }

  std::string Write(const char* name, const std::string& content) const {
    const std::string path = dir_ + "/" + name;
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }
  static std::string Text(std::span<const std::uint8_t> bytes) {
    return std::string(bytes.begin(), bytes.end());
  }
  static std::string Refusal(const std::string& path) {
    try {
      WorkbookFile file(path);
      return "opened";
    } catch (const ReadError& e) {
      return e.what();
    }
  }

  std::string dir_;
};

TEST_F(WorkbookFileTest, RefusesWhatIsNoFileToRead) {
  const std::string fifo = dir_ + "/fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string huge = Write("huge.xls", "");
  std::filesystem::resize_file(huge, (std::uintmax_t{2} << 30) + 1);  // sparse: no disk used
  const struct {
    std::string path, message;
  } cases[] = {
      {"", "no spreadsheet file was chosen"},
      {dir_ + "/missing.xls", dir_ + "/missing.xls: no such file"},
      {Write("file", "x") + "/below", dir_ + "/file/below: no such file"},
      {dir_, dir_ + ": is a folder, not a spreadsheet file"},
      {fifo, fifo + ": is not a regular file"},  // looked at, never opened: opening would block
      {"/dev/zero", "/dev/zero: is not a regular file"},
      {huge, huge + ": the file is too large to read (over 2 GiB)"},
  };
  for (const auto& c : cases) EXPECT_EQ(Refusal(c.path), c.message) << c.path;
}

TEST_F(WorkbookFileTest, ReadsTheHeadThenTheWholeFileOnce) {
  std::string content(100000, 'a');
  for (std::size_t i = 0; i < content.size(); i += 7) content[i] = static_cast<char>('0' + i % 10);
  WorkbookFile file(Write("book.xls", content));
  const std::int64_t before = BytesReadSoFar();
  EXPECT_EQ(Text(file.Head(16)), content.substr(0, 16));
  EXPECT_EQ(Text(file.Head(16)), content.substr(0, 16));  // read once
  const std::int64_t after_head = BytesReadSoFar();
  EXPECT_EQ(Text(file.ReadAll()), content);
  const std::int64_t after_all = BytesReadSoFar();
  if (before >= 0) {
    EXPECT_LT(after_head - before, 16 + 1000);
    EXPECT_LT(after_all - before, 100000 + 1000);  // the head is not read again
  }
  file.Release();
}

TEST_F(WorkbookFileTest, AFileShorterThanItsHeadOrShrunkSinceOpenedIsReadAsFarAsItGoes) {
  WorkbookFile small(Write("small.xls", "PK"));
  EXPECT_EQ(Text(small.Head(16 * 1024)), "PK");
  EXPECT_EQ(Text(small.ReadAll()), "PK");
  WorkbookFile empty(Write("empty.xls", ""));
  EXPECT_TRUE(empty.Head(16).empty());
  const std::string path = Write("shrinks.xls", std::string(5000, 'x'));
  WorkbookFile shrinks(path);
  EXPECT_EQ(shrinks.Head(100).size(), 100u);
  std::filesystem::resize_file(path, 1000);
  EXPECT_EQ(Text(shrinks.ReadAll()), std::string(1000, 'x'));
}

}  // namespace
}  // namespace zerova
