// ReadStandardInput: a workbook read whole from a pipe, up to its limit, and a
// stop noticed while no byte comes.
#include "cli/standard_input.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>

#include "services/error.h"

namespace {

using zerova::Cancelled;
using zerova::ReadError;
using zerova::ReadStandardInput;

// A pipe holding `bytes`, its writing end closed: what `cat FILE |` gives.
struct Pipe {
  explicit Pipe(const std::string& bytes) {
    EXPECT_EQ(::pipe(fds), 0);
    EXPECT_EQ(::write(fds[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ::close(fds[1]);
  }
  ~Pipe() { ::close(fds[0]); }
  int fds[2];
};

void NoReport(std::uint64_t, std::uint64_t) {}

// At the limit the input is read; one byte past it, refused.
TEST(StandardInputTest, TheLimitIsReadAndOneByteMoreIsRefused) {
  for (const std::size_t size : {0, 1, 1000}) {
    const std::string bytes(size, 'x');
    Pipe pipe(bytes);
    const auto read = ReadStandardInput(pipe.fds[0], NoReport, 1000);
    EXPECT_EQ(std::string(read->begin(), read->end()), bytes);
  }
  Pipe over(std::string(1001, 'x'));
  try {
    ReadStandardInput(over.fds[0], NoReport, 1000);
    FAIL() << "1001 bytes read under a limit of 1000";
  } catch (const ReadError& e) {
    EXPECT_STREQ(e.what(), "standard input: the input is too large to read (over 1000 bytes)");
  }
}

std::atomic<bool> signalled = false;

// A pipe that holds two bytes and stays open: the reader waits for more, and a
// signal (caught with SA_RESTART, as the command line catches them) ends the
// wait, so the report is asked and answers the stop at once.
TEST(StandardInputTest, ASignalEndsTheWaitForInput) {
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  ASSERT_EQ(::write(fds[1], "ab", 2), 2);
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
  EXPECT_THROW(ReadStandardInput(fds[0], stop_when_signalled), Cancelled);
  signaller.join();
  ::sigaction(SIGUSR1, &before, nullptr);
  ::close(fds[0]);
  ::close(fds[1]);
}

}  // namespace
