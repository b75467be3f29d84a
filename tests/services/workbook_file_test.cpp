// Reading the spreadsheet file: no regular file is refused unopened, one too large
// to read whole when read; one shrunk since it was opened is read as far as it goes.
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
    file.ReadAll();
    return "read";
  } catch (const ReadError& e) {
    return e.what();
  }
}

TEST(WorkbookFileTest, RefusesWhatIsNoFileToReadAndReadsWhatIsThere) {
  char pattern[] = "/tmp/zerova-workbook-file-XXXXXX";
  const std::string dir = ::mkdtemp(pattern);
  const std::string fifo = dir + "/fifo", huge = dir + "/huge.csv", book = dir + "/book.xls";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::ofstream(huge) << "a,b\n1,2\n";  // a table's text, then a sparse stretch: no disk used
  std::filesystem::resize_file(huge, WorkbookFile::kMaxBytes + 1);
  const struct {
    std::string path, message;
  } cases[] = {
      {"", "no spreadsheet file was chosen"},
      {dir, dir + ": is a folder, not a spreadsheet file"},
      {fifo, fifo + ": is not a regular file"},  // looked at, never opened: opening would block
      {"/dev/zero", "/dev/zero: is not a regular file"},
      {huge, huge + ": the file is too large to read (2.1 GB; the limit is 2 GiB, as the whole "
                    "file is read into memory); split it into smaller files"},
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
