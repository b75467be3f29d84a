// The stop events, with the handler called as Windows calls it, each case in a
// child process of its own (a death test): the first event only noted; a
// second one, or the closing of the console once the work has had its while,
// ending the program by its signal's status, the file begun removed, unless
// another stands in its place, and the armed words said; and SayLast's words
// said once.
#include "services/stop_signals.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>

#include "platform/windows/scratch_folder.h"
#include "platform/windows/stop_events.h"
#include "services/file_system.h"

namespace zerova {
namespace {

using ::testing::ExitedWithCode;

TEST(StopSignalsDeathTest, ASecondStopRemovesTheFileBegunAndSaysTheArmedWords) {
  const struct {
    DWORD first, second;
    int signal, status;
  } rows[] = {
      {CTRL_C_EVENT, CTRL_C_EVENT, 2, 130},
      {CTRL_BREAK_EVENT, CTRL_BREAK_EVENT, 15, 143},
      {CTRL_BREAK_EVENT, CTRL_CLOSE_EVENT, 15, 129},
      {CTRL_CLOSE_EVENT, 0, 1, 129},  // no second event: the first ends it, after its while
  };
  const test::ScratchFolder folder("second-stop");
  for (const auto& row : rows) {
    EXPECT_EXIT(
        {
          CatchStopSignals();
          const std::unique_ptr<NewFile> begun =
              NewLocalFileSystem()->CreateTemporaryFile(folder.Path("doc.xml"));
          const LastWords words("zerova: doc.xml: stopped\n", begun->path(), begun->id());
          if (!OnConsoleEvent(row.first) || StopSignal() != row.signal) std::exit(1);
          OnConsoleEvent(row.second);
        },
        ExitedWithCode(row.status), "^zerova: doc.xml: stopped\\r?\\n$");
    EXPECT_TRUE(folder.Empty());
  }
}

TEST(StopSignalsDeathTest, AnotherFileInItsPlaceIsLeftAndSayLastSpeaksOnce) {
  const test::ScratchFolder folder("another-file");
  const std::string other = folder.Write("other.xml", "<other/>");
  EXPECT_EXIT(
      {
        const FileId id = NewLocalFileSystem()->LockFile(other)->id();
        const LastWords words("zerova: stopped\n", other, {id.device, id.inode + 1});
        OnConsoleEvent(CTRL_C_EVENT);
        OnConsoleEvent(CTRL_C_EVENT);
      },
      ExitedWithCode(130), "^zerova: stopped\\r?\\n$");
  EXPECT_FALSE(folder.Empty());
  EXPECT_EXIT(
      {
        const LastWords words("zerova: not said\n");
        SayLast("zerova: said once\n");
        OnConsoleEvent(CTRL_C_EVENT);
        OnConsoleEvent(CTRL_C_EVENT);
      },
      ExitedWithCode(130), "^zerova: said once\\r?\\n$");
}

}  // namespace
}  // namespace zerova
