// The real file system on a scratch folder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "services/error.h"
#include "services/file_system.h"

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

}  // namespace
}  // namespace zerova
