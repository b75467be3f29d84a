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
  fs_->CreateTextFile(file);
  fs_->AppendLineToFile(file, "<a>é</a>");
  fs_->AppendLineToFile(file, "");
  EXPECT_EQ(Read(file), "<a>é</a>\r\n\r\n");
  fs_->CreateTextFile(file);
  EXPECT_EQ(Read(file), "");
  EXPECT_TRUE(fs_->DeleteFile(file));
  EXPECT_FALSE(fs_->DeleteFile(file));                              // already gone: no failure
  EXPECT_THROW(fs_->AppendLineToFile(file, "x"), FileSystemError);  // never creates it
  EXPECT_EQ(fs_->Examine(file), PathKind::kMissing);
}

TEST_F(LocalFileSystemTest, ExamineTellsWhatStandsAtAPathInOneLook) {
  fs_->CreateTextFile(Path("file"));
  fs_->CreateTextFile(Path("read-only"));
  ::chmod(Path("read-only").c_str(), 0444);  // read-only even for root, who could still write it
  std::filesystem::create_directory(Path("folder"));
  std::filesystem::create_symlink(Path("nowhere"), Path("dangling"));
  std::filesystem::create_symlink(Path("folder"), Path("link-to-folder"));
  const struct {
    const char* name;
    PathKind kind;
  } rows[] = {
      {"missing", PathKind::kMissing},        {"file", PathKind::kFile},
      {"read-only", PathKind::kReadOnlyFile}, {"folder", PathKind::kFolder},
      {"dangling", PathKind::kFile},        // the link itself, which a delete removes
      {"link-to-folder", PathKind::kFile},  // likewise
      {"missing/below", PathKind::kMissing},
  };
  for (const auto& row : rows) EXPECT_EQ(fs_->Examine(Path(row.name)), row.kind) << row.name;
  EXPECT_TRUE(fs_->DeleteFile(Path("link-to-folder")));
  EXPECT_EQ(fs_->Examine(Path("folder")), PathKind::kFolder);
}

TEST_F(LocalFileSystemTest, ALockIsHeldUntilItIsReleasedWhateverElseOpensTheFile) {
  const std::string file = Path("doc.xml");
  std::unique_ptr<FileLock> lock = fs_->LockFile(file);
  ASSERT_NE(lock, nullptr);
  EXPECT_EQ(Read(file), "");  // created empty
  EXPECT_EQ(fs_->LockFile(file), nullptr);
  // The document's own opens and closes (a POSIX record lock would end here).
  fs_->CreateTextFile(file);
  fs_->AppendLineToFile(file, "kept");
  EXPECT_EQ(NewLocalFileSystem()->LockFile(file), nullptr);
  lock.reset();
  lock = fs_->LockFile(file);
  EXPECT_NE(lock, nullptr);
  EXPECT_EQ(Read(file), "kept\r\n");  // an existing file is left as it is
  EXPECT_NE(fs_->LockFile(Path("other.xml")), nullptr);
}

TEST_F(LocalFileSystemTest, FindsTheProgramFolder) {
  const std::string folder = fs_->ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_TRUE(std::filesystem::exists(folder + "/zerova_tests"));
  EXPECT_EQ(fs_->CurrentFolder(), std::filesystem::current_path().string());
  EXPECT_TRUE(fs_->IsWritableFolder(dir_));
  EXPECT_FALSE(fs_->IsWritableFolder(Path("no-such-folder")));
}

}  // namespace
}  // namespace zerova
