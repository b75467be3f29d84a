// Opening the spreadsheet file: what is no regular file, or too large, is refused
// before it is read; a file shrunk since it was opened is read as far as it goes.
#include "services/workbook_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "services/error.h"

namespace zerova {
namespace {

std::string Refusal(const std::string& path) {
  try {
    WorkbookFile file(path);
    return "opened";
  } catch (const ReadError& e) {
    return e.what();
  }
}

TEST(WorkbookFileTest, RefusesWhatIsNoFileToReadAndReadsWhatIsThere) {
  char pattern[] = "/tmp/zerova-workbook-file-XXXXXX";
  const std::string dir = ::mkdtemp(pattern);
  const std::string fifo = dir + "/fifo", huge = dir + "/huge.xls", book = dir + "/book.xls";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::ofstream(huge).close();
  std::filesystem::resize_file(huge, (std::uintmax_t{2} << 30) + 1);  // sparse: no disk used
  const struct {
    std::string path, message;
  } cases[] = {
      {"", "no spreadsheet file was chosen"},
      {dir, dir + ": is a folder, not a spreadsheet file"},
      {fifo, fifo + ": is not a regular file"},  // looked at, never opened: opening would block
      {"/dev/zero", "/dev/zero: is not a regular file"},
      {huge, huge + ": the file is too large to read (over 2 GiB)"},
  };
  for (const auto& c : cases) EXPECT_EQ(Refusal(c.path), c.message) << c.path;

  std::ofstream(book) << std::string(5000, 'x');
  WorkbookFile shrinks(book);
  EXPECT_EQ(shrinks.Head(100).size(), 100u);
  std::filesystem::resize_file(book, 1000);
  const std::span<const std::uint8_t> all = shrinks.ReadAll();
  EXPECT_EQ(std::string(all.begin(), all.end()), std::string(1000, 'x'));
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace zerova
