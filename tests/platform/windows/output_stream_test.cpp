// What `-o` finds on Windows: a file, a folder, nothing in a missing folder;
// NUL and the console by any of their names, and a device that takes no
// document, refused in words; a pipe by its name; and standard output.
#include "services/output_stream.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>

#include "platform/windows/scratch_folder.h"
#include "platform/windows/wide_text.h"
#include "services/error.h"

namespace zerova {
namespace {

using Kind = OutputPlace::Kind;

TEST(OutputStreamTest, AFileAFolderAMissingFolderAndTheDevices) {
  const test::ScratchFolder folder("output-stream");
  const bool console = ::GetConsoleCP() != 0;
  const struct {
    std::string path;
    Kind kind;
    const char* refusal;  // what a refusal says, if one is due
  } rows[] = {
      {folder.Write("doc.xml", "x"), Kind::kFile, nullptr},
      {folder.Path("new.xml"), Kind::kFile, nullptr},
      {folder.Path(), Kind::kFolder, nullptr},
      {folder.Path("missing\\doc.xml"), Kind::kMissingFolder, nullptr},
      {"NUL", Kind::kStream, nullptr},
      {folder.Path("missing\\Nul.xml"), Kind::kStream, nullptr},
      {"C:\\missing\\con.txt", Kind::kStream,
       console ? nullptr : "names the console, and there is none"},
      {"prn.xml", Kind::kStream, "names the device PRN, which takes no document"},
  };
  for (const auto& row : rows) {
    try {
      const OutputPlace place = OpenOutputPlace(row.path, [] {});
      EXPECT_EQ(row.refusal, nullptr) << row.path;
      EXPECT_EQ(place.kind, row.kind) << row.path;
      if (place.kind != Kind::kStream) continue;
      EXPECT_EQ(place.stream.on_terminal, row.path.ends_with("con.txt")) << row.path;
      EXPECT_EQ(std::fputs("<doc/>\r\n", place.stream.file), 0);
      EXPECT_EQ(std::fclose(place.stream.file), 0);
    } catch (const FileSystemError& e) {
      EXPECT_EQ(e.detail(), row.refusal ? row.refusal : "taken") << row.path;
    }
  }
}

TEST(OutputStreamTest, APipeByItsNameAndStandardOutput) {
  const std::string name = "\\\\.\\pipe\\zerova-test-" + std::to_string(::GetCurrentProcessId());
  const ScopedHandle server(::CreateNamedPipeW(Wide(name).c_str(), PIPE_ACCESS_INBOUND,
                                               PIPE_TYPE_BYTE | PIPE_WAIT, 1, 0, 4096, 0, nullptr));
  ASSERT_TRUE(server.valid());
  std::string read;
  std::thread reader([&server, &read] {
    ::ConnectNamedPipe(server.get(), nullptr);
    char buffer[64];
    DWORD got = 0;
    while (::ReadFile(server.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) {
      read.append(buffer, got);
    }
  });
  OutputPlace place = OpenOutputPlace(name, [] {});
  ASSERT_EQ(place.kind, Kind::kStream);
  EXPECT_FALSE(place.stream.shares_stdout);
  std::fputs("<doc/>\r\n", place.stream.file);
  EXPECT_EQ(std::fclose(place.stream.file), 0);
  reader.join();
  EXPECT_EQ(read, "<doc/>\r\n");

  place = OpenOutputPlace("-", [] {});
  EXPECT_EQ(place.stream.name, "standard output");
  EXPECT_TRUE(place.stream.shares_stdout);
  std::fclose(place.stream.file);  // its own handle: standard output stays open
  DWORD flags = 0;
  EXPECT_TRUE(::GetHandleInformation(::GetStdHandle(STD_OUTPUT_HANDLE), &flags));
}

}  // namespace
}  // namespace zerova
