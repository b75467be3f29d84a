// ReadStream: a workbook read whole from a pipe, up to its limit; its head
// judged before more is read; and a stop noticed while no byte comes.
#include "cli/stream_input.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>

#include "services/error.h"

namespace {

using zerova::Cancelled;
using zerova::ReadError;
using zerova::ReadStream;

// A pipe holding `bytes` (at most what a pipe holds unread), its writing end
// closed unless `open`: what `cat FILE |` gives.
struct Pipe {
  explicit Pipe(const std::string& bytes, bool open = false) {
    EXPECT_EQ(::pipe(fds), 0);
    EXPECT_EQ(::fcntl(fds[1], F_SETPIPE_SZ, 1 << 20), 1 << 20);
    EXPECT_EQ(::write(fds[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    if (!open) ::close(fds[1]);
  }
  ~Pipe() { ::close(fds[0]); }
  int Unread() const {
    int count = -1;
    ::ioctl(fds[0], FIONREAD, &count);
    return count;
  }
  int fds[2];
};

void NoReport(std::uint64_t, std::uint64_t) {}
void AnyHead(std::span<const std::uint8_t>) {}

std::string Read(int fd, std::uint64_t limit) {
  const zerova::SpreadsheetInput input = ReadStream(fd, "standard input", NoReport, AnyHead, limit);
  return std::string(input.bytes.begin(), input.bytes.end());
}

// At the limit the input is read; one byte past it, refused.
TEST(StreamInputTest, TheLimitIsReadAndOneByteMoreIsRefused) {
  for (const std::size_t size : {0, 1, 1000}) {
    const std::string bytes(size, 'x');
    Pipe pipe(bytes);
    EXPECT_EQ(Read(pipe.fds[0], 1000), bytes);
  }
  Pipe over(std::string(1001, 'x'));
  try {
    Read(over.fds[0], 1000);
    FAIL() << "1001 bytes read under a limit of 1000";
  } catch (const ReadError& e) {
    EXPECT_STREQ(e.what(),
                 "standard input: the input is too large to read (over 1000 bytes, as a stream is "
                 "held whole in memory)");
  }
}

// The head is judged once 16 KB are in (or the stream ended before), with
// nothing more read; a head refused ends the reading there.
TEST(StreamInputTest, TheHeadIsJudgedBeforeMoreIsRead) {
  const std::size_t head = zerova::kStreamHeadBytes;
  for (const std::size_t size : {std::size_t{10}, head, head + 1, std::size_t{512 * 1024}}) {
    SCOPED_TRACE(size);
    Pipe pipe(std::string(size, 'z'));
    std::size_t judged = 0;
    int unread_then = -1;
    const auto refuse = [&](std::span<const std::uint8_t> bytes) {
      judged = bytes.size();
      unread_then = pipe.Unread();
      throw ReadError("standard input", "not a spreadsheet");
    };
    EXPECT_THROW(ReadStream(pipe.fds[0], "standard input", NoReport, refuse), ReadError);
    EXPECT_EQ(judged, std::min(size, head));
    EXPECT_EQ(unread_then, static_cast<int>(size - judged));
  }
}

std::atomic<bool> signalled = false;

// A pipe that holds two bytes and stays open: the reader waits for more, and a
// signal (caught with SA_RESTART, as the command line catches them) ends the
// wait, so the report is asked and answers the stop at once.
TEST(StreamInputTest, ASignalEndsTheWaitForInput) {
  Pipe pipe("ab", true);
  struct sigaction action {};
  action.sa_handler = [](int) { signalled = true; };
  action.sa_flags = SA_RESTART;
  struct sigaction before;
  ::sigaction(SIGUSR1, &action, &before);
  std::atomic<std::uint64_t> reported = 0;
  const auto stop_when_signalled = [&reported](std::uint64_t done, std::uint64_t total) {
    EXPECT_EQ(total, 0u);  // a pipe's size is not known ahead
    reported = done;
    if (signalled) throw Cancelled("standard input", "stopped");
  };
  const pthread_t reader = ::pthread_self();
  std::thread signaller([&] {
    while (reported < 2) std::this_thread::yield();
    ::pthread_kill(reader, SIGUSR1);
  });
  EXPECT_THROW(ReadStream(pipe.fds[0], "standard input", stop_when_signalled, AnyHead), Cancelled);
  signaller.join();
  ::sigaction(SIGUSR1, &before, nullptr);
  ::close(pipe.fds[1]);
}

}  // namespace
