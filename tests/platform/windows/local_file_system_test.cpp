// The Windows file system (src/platform/windows/), run under Wine: what the
// documents meet there and Linux has not: share modes, a document open in
// another program, device names, long and non-ASCII paths, and case.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "services/case_folding.h"
#include "services/error.h"
#include "services/file_system.h"
#include "services/paths.h"
#include "services/workbook_file.h"

namespace zerova::test {
namespace {

std::wstring Wide(const std::string& text) {
  std::wstring wide(text.size(), L'\0');
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                      wide.data(), static_cast<int>(wide.size()));
  wide.resize(static_cast<std::size_t>(n));
  return wide;
}

// Opens `path` as another program would, with `share`; closed at the end.
class OtherProgram {
 public:
  OtherProgram(const std::string& path, DWORD access, DWORD share)
      : file_(
            ::CreateFileW(Wide(path).c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr)) {}
  ~OtherProgram() {
    if (file_ != INVALID_HANDLE_VALUE) ::CloseHandle(file_);
  }
  bool open() const { return file_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE file_;
};

class WindowsFileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    char name[64];
    std::snprintf(name, sizeof name, "zerova-test-%lu-%lu", ::GetCurrentProcessId(),
                  static_cast<unsigned long>(::GetTickCount()));
    char folder[4 * MAX_PATH];
    ::WideCharToMultiByte(CP_UTF8, 0, temp, -1, folder, sizeof folder, nullptr, nullptr);
    folder_ = PathInFolder(folder, name);
    disk_->CreateFolders(folder_);
  }
  void TearDown() override { RemoveAll(Wide(folder_)); }
  static void RemoveAll(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = folder + L"\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          RemoveAll(path);
        } else {
          ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
          ::DeleteFileW(path.c_str());
        }
      } while (::FindNextFileW(search, &found));
      ::FindClose(search);
    }
    ::RemoveDirectoryW(folder.c_str());
  }
  std::string In(const std::string& name) const { return PathInFolder(folder_, name); }
  // Writes `bytes` as a new file at `path` through a temporary file put in place.
  void WriteWhole(const std::string& path, const std::string& bytes) {
    std::unique_ptr<NewFile> file = disk_->CreateTemporaryFile(path);
    file->Write(bytes);
    file->Close();
    disk_->ReplaceFile(file->path(), path);
  }
  std::string Read(const std::string& path) {
    WorkbookFile file(path);
    const auto bytes = file.ReadAll();
    return std::string(bytes.begin(), bytes.end());
  }

  std::unique_ptr<FileSystem> disk_ = NewLocalFileSystem();
  std::string folder_;
};

TEST_F(WindowsFileSystemTest, LinesAreAppendedWhileAnotherProgramReadsTheDocument) {
  const std::string document = In("xmlstructure.xml");
  ASSERT_TRUE(disk_->CreateNewFile(document));
  const std::unique_ptr<FileLock> lock = disk_->LockFile(document);
  ASSERT_NE(lock, nullptr);
  EXPECT_EQ(disk_->LockFile(document), nullptr) << "a second lock on the same document";
  const OtherProgram reader(document, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
  ASSERT_TRUE(reader.open());
  disk_->AppendLineToFile(document, "first", *lock);
  disk_->AppendLineToFile(document, "second", *lock);
  EXPECT_EQ(Read(document), "first\r\nsecond\r\n");
  lock->Truncate();
  EXPECT_EQ(disk_->Examine(document), PathKind::kEmptyFile);
}

TEST_F(WindowsFileSystemTest, ADocumentOpenInAnotherProgramIsLeftAsItWas) {
  const std::string document = In("report.xml");
  WriteWhole(document, "earlier\r\n");
  {
    // As Excel holds a file it has open: others may read it, not replace it.
    const OtherProgram excel(document, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ);
    ASSERT_TRUE(excel.open());
    std::unique_ptr<NewFile> file = disk_->CreateTemporaryFile(document);
    file->Write("new\r\n");
    file->Close();
    try {
      disk_->ReplaceFile(file->path(), document);
      ADD_FAILURE() << "a document open in another program was replaced";
    } catch (const FileSystemError& e) {
      EXPECT_NE(std::string(e.what()).find(document), std::string::npos) << e.what();
    }
    disk_->RemoveFileIfSame(file->path(), file->id());
  }
  EXPECT_EQ(Read(document), "earlier\r\n");
  WriteWhole(document, "new\r\n");  // closed there, it is replaced
  EXPECT_EQ(Read(document), "new\r\n");
}

TEST_F(WindowsFileSystemTest, DeviceNamesAreNoFiles) {
  for (const std::string name : {"NUL", "con", "aux.txt", "COM1.xml", "lpt9"}) {
    EXPECT_EQ(disk_->Examine(In(name)), PathKind::kOther) << name;
    EXPECT_THROW(WorkbookFile{In(name)}, ReadError) << name;
    EXPECT_FALSE(IsValidFileName(name)) << name;
  }
  struct Row {
    const char* name;
    bool valid;
  };
  for (const Row& row : std::vector<Row>{{"Data", true},
                                         {"book.CON.xml", true},
                                         {"COM10", true},
                                         {"a<b>|c", false},
                                         {"x.", false},
                                         {"x ", false},
                                         {"tab\there", false},
                                         {"q?", false}}) {
    EXPECT_EQ(IsValidFileName(row.name), row.valid) << row.name;
  }
}

TEST_F(WindowsFileSystemTest, LongAndNonAsciiPathsAreWrittenAndRead) {
  std::string folder = folder_;
  for (int i = 0; i < 6; ++i) folder = PathInFolder(folder, std::string(50, 'a' + i) + " é");
  ASSERT_GT(folder.size(), 300u);
  disk_->CreateFolders(folder);
  EXPECT_EQ(disk_->Examine(folder), PathKind::kFolder);
  const std::string document = PathInFolder(folder, "Données 日本.xml");
  WriteWhole(document, "日本\r\n");
  EXPECT_EQ(disk_->Examine(document), PathKind::kFile);
  EXPECT_EQ(Read(document), "日本\r\n");
  EXPECT_TRUE(disk_->SameFile(document, document));
  EXPECT_NE(disk_->FreeSpaceBeside(document), FileSystem::kUnknownSpace);
}

TEST_F(WindowsFileSystemTest, PathsTakeEitherSeparatorAndNamesDifferInMoreThanCase) {
  struct Row {
    const char* path;
    const char* folder;
    const char* name;
    bool full;
  };
  for (const Row& row : std::vector<Row>{{"C:\\a\\b.xml", "C:\\a", "b.xml", true},
                                         {"C:/a/b.xml", "C:/a", "b.xml", true},
                                         {"C:\\b.xml", "C:\\", "b.xml", true},
                                         {"\\\\server\\share\\b", "\\\\server\\share", "b", true},
                                         {"a\\b.xml", "a", "b.xml", false},
                                         {"b.xml", ".", "b.xml", false},
                                         {"C:b.xml", "C:", "b.xml", false}}) {
    EXPECT_EQ(FolderOf(row.path), row.folder) << row.path;
    EXPECT_EQ(FileNameOf(row.path), row.name) << row.path;
    EXPECT_EQ(IsFullPath(row.path), row.full) << row.path;
  }
  EXPECT_EQ(PathInFolder("C:\\", "x"), "C:\\x");
  EXPECT_EQ(PathInFolder("C:\\a", "x"), "C:\\a\\x");
  EXPECT_TRUE(SameFileName("Data", "DATA"));
  EXPECT_TRUE(SameFileName("Ébène", "éBÈNE"));
  EXPECT_FALSE(SameFileName("Data", "Date"));
  // A letter past 16 bits comes back whole, lowered where the system maps it
  // (Windows does; Wine 8 leaves it).
  const std::u32string deseret = FoldedCase("\U00010400");
  EXPECT_TRUE(deseret == U"\U00010428" || deseret == U"\U00010400");
  EXPECT_FALSE(SameFileName("\U00010400", "\U00010429"));
  EXPECT_TRUE(IsSystemFolder("C:\\Program Files\\Zerova"));
  EXPECT_TRUE(IsSystemFolder("c:/program files"));
  EXPECT_FALSE(IsSystemFolder("C:\\Program Files Extra"));
  EXPECT_FALSE(IsSystemFolder(folder_));
}

// The temporary files that runs into a name left when killed outright are
// removed by a later run into that name once unchanged for an hour; what else
// stands in the folder stays: a live run's (held open), one changed lately,
// another name's, one of two names, and a name only like ours.
TEST_F(WindowsFileSystemTest, RemovesOnlyTheAbandonedTemporaryFilesOfItsName) {
  const std::string doc = In("doc.xml");
  const auto left = [&](const std::string& final_path) {
    return disk_->CreateTemporaryFile(final_path)->path();
  };
  const std::string abandoned = left(doc), recent = left(doc), other = left(In("other.xml")),
                    linked = left(doc), lookalike = In(".doc.xml.ABCDEFGHIJKL.tmp");
  const std::unique_ptr<NewFile> live = disk_->CreateTemporaryFile(doc);
  ASSERT_TRUE(::CreateHardLinkW(Wide(In("second-name")).c_str(), Wide(linked).c_str(), nullptr));
  WriteWhole(lookalike, "not ours\r\n");
  FILETIME now;
  ::GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER ticks{{now.dwLowDateTime, now.dwHighDateTime}};
  ticks.QuadPart -= 2ULL * 60 * 60 * 10'000'000;  // two hours ago
  const FILETIME hours_ago{ticks.LowPart, ticks.HighPart};
  for (const std::string& path : {abandoned, other, linked, lookalike, live->path()}) {
    const HANDLE file = ::CreateFileW(Wide(path).c_str(), FILE_WRITE_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    EXPECT_TRUE(::SetFileTime(file, nullptr, nullptr, &hours_ago)) << path;
    ::CloseHandle(file);
  }
  disk_->RemoveAbandonedTemporaryFiles(doc);
  EXPECT_EQ(disk_->Examine(abandoned), PathKind::kMissing);
  for (const std::string& path : {recent, other, linked, lookalike, live->path()}) {
    EXPECT_NE(disk_->Examine(path), PathKind::kMissing) << path;
  }
}

TEST_F(WindowsFileSystemTest, AFileReplacedMeanwhileIsNotRemoved) {
  const std::string document = In("doc.xml");
  std::unique_ptr<NewFile> file = disk_->CreateTemporaryFile(document);
  file->Close();
  const FileId first = file->id();
  // Another file put in its place by a rename, as an editor saves.
  std::unique_ptr<NewFile> other = disk_->CreateTemporaryFile(document);
  other->Close();
  disk_->ReplaceFile(other->path(), file->path());
  EXPECT_FALSE(disk_->RemoveFileIfSame(file->path(), first));
  EXPECT_NE(disk_->Examine(file->path()), PathKind::kMissing);
  EXPECT_FALSE(disk_->DeleteFile(In("missing.xml")));
}

}  // namespace
}  // namespace zerova::test
