// The real file system on a scratch folder, and the spreadsheet file read from it:
// no regular file is refused unopened, one too large to read whole when read; one
// shrunk since it was opened is read as far as it goes.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>

#include "conversion/document/append_line.h"
#include "services/error.h"
#include "services/file_system.h"
#include "services/workbook_file.h"
#include "support/memory_file_system.h"

namespace zerova {
namespace {

TEST(LocalFileSystemTest, WritesLinesAndTellsWhatStandsAtAPathInOneLook) {
  char pattern[] = "/tmp/zerova-fs-XXXXXX";
  const std::string dir = ::mkdtemp(pattern), file = dir + "/doc.xml";
  const std::unique_ptr<FileSystem> fs = NewLocalFileSystem();
  {
    const std::unique_ptr<FileLock> lock = fs->LockFile(file);
    fs->AppendLineToFile(file, "<a>é</a>", *lock);
    fs->AppendLineToFile(file, "", *lock);
    std::ifstream in(file, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "<a>é</a>\r\n\r\n");
    EXPECT_TRUE(fs->DeleteFile(file));
    EXPECT_FALSE(fs->DeleteFile(file));  // already gone: no failure
    EXPECT_THROW(fs->AppendLineToFile(file, "x", *lock), FileSystemError);  // never creates it
  }

  EXPECT_TRUE(fs->CreateNewFile(dir + "/read-only"));
  EXPECT_FALSE(fs->CreateNewFile(dir + "/read-only"));
  ::chmod((dir + "/read-only").c_str(), 0444);  // read-only even for root, who could write it
  std::filesystem::create_directory(dir + "/folder");
  std::filesystem::create_symlink(dir + "/folder", dir + "/link-to-folder");
  const struct {
    const char* name;
    PathKind kind;
  } rows[] = {
      {"doc.xml/below", PathKind::kMissing},
      {"read-only", PathKind::kReadOnlyFile},
      {"folder", PathKind::kFolder},
      {"link-to-folder", PathKind::kLink},
  };
  for (const auto& row : rows) EXPECT_EQ(fs->Examine(dir + "/" + row.name), row.kind) << row.name;
  EXPECT_TRUE(fs->DeleteFile(dir + "/link-to-folder"));  // the link, not what it points to
  EXPECT_EQ(fs->Examine(dir + "/folder"), PathKind::kFolder);
  std::filesystem::remove_all(dir);
}

// A new document, scratch file or document written whole gets 0666 less the umask.
TEST(LocalFileSystemTest, NewFilesGetTheUsualMode) {
  char pattern[] = "/tmp/zerova-fs-XXXXXX";
  const std::string dir = ::mkdtemp(pattern);
  const std::unique_ptr<FileSystem> fs = NewLocalFileSystem();
  const mode_t umask = ::umask(022);
  const std::unique_ptr<FileLock> lock = fs->LockFile(dir + "/doc.xml");
  fs->CreateNewFile(dir + "/scratch.xml");
  const std::unique_ptr<NewFile> whole = fs->CreateTemporaryFile(dir + "/whole.xml");
  const std::string temporary = whole->path();
  EXPECT_TRUE(std::regex_match(temporary, std::regex(dir + R"(/\.whole\.xml\.[a-z0-9]{12}\.tmp)")))
      << temporary;
  fs->ReplaceFile(temporary, dir + "/whole.xml");
  ::umask(umask);
  for (const char* name : {"doc.xml", "scratch.xml", "whole.xml"}) {
    struct stat status {};
    EXPECT_EQ(::stat((dir + "/" + name).c_str(), &status), 0) << name;
    EXPECT_EQ(status.st_mode & 07777, 0644u) << name;
  }
  std::filesystem::remove_all(dir);
}

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Only a regular file is locked, looked at before it is opened (a FIFO would
// otherwise be opened); lines and the removal reach the locked file alone,
// never one renamed over it.
TEST(LocalFileSystemTest, TouchesOnlyTheRegularFileItLocked) {
  char pattern[] = "/tmp/zerova-fs-XXXXXX";
  const std::string dir = ::mkdtemp(pattern), file = dir + "/doc.xml", other = dir + "/other";
  const std::unique_ptr<FileSystem> fs = NewLocalFileSystem();
  ::mkfifo((dir + "/fifo").c_str(), 0644);
  std::filesystem::create_symlink(dir + "/fifo", dir + "/link");
  const struct {
    const char* name;
    const char* why;
  } refused[] = {
      {"fifo", "is not a regular file; nothing is written to it"},
      {"link", "a symbolic link stands in the file's place; it is not followed"},
  };
  for (const auto& row : refused) {
    try {
      fs->LockFile(dir + "/" + row.name);
      ADD_FAILURE() << row.name;
    } catch (const FileSystemError& e) {
      EXPECT_EQ(e.what(), dir + "/" + row.name + ": " + row.why);
    }
  }

  std::unique_ptr<FileLock> lock = fs->LockFile(file);
  fs->AppendLineToFile(file, "mine", *lock);
  std::ofstream(other) << "another file\n";
  std::filesystem::rename(other, file);
  EXPECT_THROW(fs->AppendLineToFile(file, "x", *lock), ReplacedFileError);
  EXPECT_FALSE(fs->RemoveFileIfSame(file, lock->id()));
  EXPECT_EQ(Read(file), "another file\n");
  lock = fs->LockFile(file);
  EXPECT_TRUE(fs->RemoveFileIfSame(file, lock->id()));
  EXPECT_EQ(fs->Examine(file), PathKind::kMissing);
  std::filesystem::remove_all(dir);
}

// The temporary files that runs into a name left when killed outright (made,
// then closed unrenamed, their locks gone with them) are removed by a later
// run into that name once unchanged for an hour; what else stands in the
// folder stays: a live run's (its lock held), one changed lately, another
// name's, one of two names, and names or links only like ours.
TEST(LocalFileSystemTest, RemovesOnlyTheAbandonedTemporaryFilesOfItsName) {
  char pattern[] = "/tmp/zerova-fs-XXXXXX";
  const std::string dir = ::mkdtemp(pattern), doc = dir + "/doc.xml";
  const std::unique_ptr<FileSystem> fs = NewLocalFileSystem();
  const auto left = [&](const std::string& final_path) {
    return fs->CreateTemporaryFile(final_path)->path();
  };
  const std::string abandoned = left(doc), recent = left(doc), other = left(dir + "/other.xml"),
                    linked = left(doc), lookalike = dir + "/.doc.xml.ABCDEFGHIJKL.tmp",
                    link = dir + "/.doc.xml.aaaaaaaaaaaa.tmp";
  const std::unique_ptr<NewFile> live = fs->CreateTemporaryFile(doc);
  std::filesystem::create_hard_link(linked, dir + "/second-name");
  std::ofstream(lookalike) << "not ours\n";
  std::filesystem::create_symlink(abandoned, link);
  const auto hours_ago = std::filesystem::file_time_type::clock::now() - std::chrono::hours(2);
  for (const std::string& path : {abandoned, other, linked, lookalike, live->path()}) {
    std::filesystem::last_write_time(path, hours_ago);
  }
  fs->RemoveAbandonedTemporaryFiles(doc);
  EXPECT_EQ(fs->Examine(abandoned), PathKind::kMissing);
  for (const std::string& path : {recent, other, linked, lookalike, link, live->path()}) {
    EXPECT_NE(fs->Examine(path), PathKind::kMissing) << path;
  }
  std::filesystem::remove_all(dir);
}

std::string Refusal(const std::string& path) {
  try {
    WorkbookFile file(path);
    file.ReadAll();
    return "read";
  } catch (const ReadError& e) {
    return e.what();
  }
}

// The folders of installed programs, known by their names alone: the scratch
// file is never renewed there, and the user's rights are not even asked.
TEST(ScratchFileForRun, NeverRenewsInASystemFolder) {
  const struct {
    const char* program_folder;
    bool system;
  } rows[] = {
      {"/usr", true},           {"/usr/bin", true},  {"/usr/local/bin", true},
      {"/bin", true},           {"/sbin", true},     {"/opt/zerova/bin", true},
      {"/usrlocal/bin", false}, {"/optical", false}, {"/home/ada/usr/bin", false},
  };
  for (const auto& row : rows) {
    test::MemoryFileSystem fs;
    fs.SetProgramFolder(row.program_folder);
    EXPECT_EQ(ScratchFileForRun(fs).empty(), row.system) << row.program_folder;
    EXPECT_EQ(fs.calls().size(), row.system ? 1u : 2u) << row.program_folder;
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
