// Streams on Windows: a pipe read as its bytes come, a stop noticed while it
// has nothing to give, and its end at its writer's close; and which names
// open a stream (a pipe's, a device's) and which are left to be read as files.
#include "services/input_stream.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "platform/windows/scratch_folder.h"
#include "platform/windows/wide_text.h"
#include "services/error.h"

namespace zerova {
namespace {

using std::chrono::milliseconds;

TEST(InputStreamTest, APipeIsReadAsItComesAndAStopEndsItsWait) {
  HANDLE read_end = nullptr, write_end = nullptr;
  ASSERT_TRUE(::CreatePipe(&read_end, &write_end, nullptr, 0));
  const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(read_end), _O_RDONLY);
  std::atomic<bool> stopped{false};
  std::thread writer([&] {
    for (const std::string piece : {"one ", "two ", "three"}) {
      std::this_thread::sleep_for(milliseconds(30));
      DWORD done = 0;
      ::WriteFile(write_end, piece.data(), static_cast<DWORD>(piece.size()), &done, nullptr);
    }
    std::this_thread::sleep_for(milliseconds(200));
    stopped = true;
  });
  const std::unique_ptr<InputStream> stream = StreamOnDescriptor(fd, "standard input");
  const auto check = [&stopped] {
    if (stopped) throw Cancelled("standard input", "stopped");
  };
  std::string got;
  std::uint8_t buffer[64];
  while (got.size() < 13) got.append(buffer, buffer + stream->Read(buffer, 64, check));
  EXPECT_EQ(got, "one two three");
  const auto start = std::chrono::steady_clock::now();
  EXPECT_THROW(stream->Read(buffer, 64, check), Cancelled);  // nothing more comes
  EXPECT_LT(std::chrono::steady_clock::now() - start, milliseconds(1000));
  writer.join();
  ::CloseHandle(write_end);
  EXPECT_EQ(stream->Read(buffer, 64, [] {}), 0u);
  EXPECT_EQ(stream->KnownSize(), 0u);
  ::_close(fd);
}

TEST(InputStreamTest, OnlyAPipeOrADeviceIsOpenedAsAStream) {
  const test::ScratchFolder folder("input-stream");
  const std::string book = folder.Write("book.csv", "a,b\r\n");
  for (const std::string& path : {book, folder.Path(), folder.Path("missing.csv")}) {
    EXPECT_EQ(OpenStreamAt(path), nullptr) << path;
  }
  for (const std::string& path : {std::string("NUL"), folder.Path("missing\\nul.csv")}) {
    const std::unique_ptr<InputStream> stream = OpenStreamAt(path);
    std::uint8_t byte;
    ASSERT_NE(stream, nullptr) << path;
    EXPECT_EQ(stream->Read(&byte, 1, [] {}), 0u) << path;
  }
  EXPECT_THROW(OpenStreamAt("\\\\.\\pipe\\zerova-no-such-pipe"), ReadError);
  // Standard input redirected from a file tells the file's size.
  const int fd = ::_wopen(Wide(book).c_str(), _O_RDONLY | _O_BINARY);
  EXPECT_EQ(StreamOnDescriptor(fd, "standard input")->KnownSize(), 5u);
  ::_close(fd);
}

}  // namespace
}  // namespace zerova
