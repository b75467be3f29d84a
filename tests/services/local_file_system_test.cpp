// The real file system on a scratch folder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "services/error.h"
#include "services/file_system.h"

namespace zerova {
namespace {

class LocalFileSystemTest : public ::testing::Test {
 protected:
  LocalFileSystemTest() {
    char pattern[] = "/tmp/zerova-fs-XXXXXX";
    dir_ = ::mkdtemp(pattern);
  }
  ~LocalFileSystemTest() override { std::filesystem::remove_all(dir_); }

  std::string Path(const char* name) const { return dir_ + "/" + name; }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::string dir_;
  std::unique_ptr<FileSystem> fs_ = NewLocalFileSystem();
};

TEST_F(LocalFileSystemTest, CreatesAppendsAndDeletes) {
  const std::string file = Path("doc.xml");
  EXPECT_FALSE(fs_->FileExists(file));
  fs_->CreateTextFile(file);
  EXPECT_TRUE(fs_->FileExists(file));
  fs_->AppendLineToFile(file, "<a>é</a>");
  fs_->AppendLineToFile(file, "");
  EXPECT_EQ(Read(file), "<a>é</a>\r\n\r\n");
  fs_->CreateTextFile(file);
  EXPECT_EQ(Read(file), "");
  EXPECT_TRUE(fs_->DeleteFile(file));
  EXPECT_FALSE(fs_->DeleteFile(file));                              // already gone: no failure
  EXPECT_THROW(fs_->AppendLineToFile(file, "x"), FileSystemError);  // never creates it
  EXPECT_FALSE(fs_->FileExists(file));
  EXPECT_FALSE(fs_->FileExists(dir_));  // a folder is not a file
}

TEST_F(LocalFileSystemTest, RefusesToDeleteAReadOnlyFileWhoeverRunsIt) {
  const std::string file = Path("xmlstr.xml");
  fs_->CreateTextFile(file);
  ::chmod(file.c_str(), 0444);
  try {
    fs_->DeleteFile(file);
    FAIL() << "a read-only file was deleted";
  } catch (const FileSystemError& e) {
    EXPECT_EQ(std::string(e.what()).rfind(file + ": ", 0), 0u) << e.what();
  }
  EXPECT_TRUE(fs_->FileExists(file));
}

TEST_F(LocalFileSystemTest, FindsTheProgramFolder) {
  const std::string folder = fs_->ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_TRUE(std::filesystem::exists(folder + "/zerova_tests"));
  EXPECT_TRUE(fs_->IsWritableFolder(dir_));
  EXPECT_FALSE(fs_->IsWritableFolder(Path("no-such-folder")));
}

}  // namespace
}  // namespace zerova
