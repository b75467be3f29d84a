// How `zerova` starts the window: with no display, one line; from the
// desktop's menu (--from-menu), in the home folder when the current one is not
// writable. The window program is a stand-in here, which prints the folder it
// was started in, or, for the no-display case, the real one.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/child_process.h"

namespace {

namespace fs = std::filesystem;
using zerova::test::ChildProcess;
using zerova::test::ChildSetup;
using zerova::test::WriteFile;

// The user the child runs as when the test runs as root: root may write
// everywhere, so a folder it cannot write needs another user.
constexpr uid_t kNobody = 65534;

class WindowStartTest : public ::testing::Test {
 protected:
  ~WindowStartTest() override {
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
    for (const auto& entry : fs::recursive_directory_iterator(dir_)) {
      fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add);
    }
    fs::remove_all(dir_);
  }

  const fs::path dir_ = ::mkdtemp(std::string("/tmp/zerova-start-XXXXXX").data());
};

// The folder the window starts in, as another user would meet it: a folder the
// user cannot write (mode 0555, and owned by root when the test runs as root)
// sends it home; a writable one keeps it.
TEST_F(WindowStartTest, FromTheMenuAnUnwritableFolderGivesWayToTheHomeFolder) {
  const fs::path bin = dir_ / "bin", home = dir_ / "home", desk = dir_ / "desk",
                 locked = dir_ / "locked";
  for (const fs::path& folder : {bin, home, desk, locked}) fs::create_directory(folder);
  fs::copy_file(ZEROVA_BINARY, bin / "zerova");
  WriteFile(bin / "zerova-window", "#!/bin/sh\npwd\n");
  const fs::perms open = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                         fs::perms::others_read | fs::perms::others_exec;
  fs::permissions(dir_, open);
  fs::permissions(bin / "zerova-window", open);
  fs::permissions(home, fs::perms::all);
  fs::permissions(desk, fs::perms::all);
  fs::permissions(locked, open & ~fs::perms::owner_write);
  for (const auto& [folder, expected] :
       std::vector<std::pair<fs::path, fs::path>>{{locked, home}, {desk, desk}}) {
    SCOPED_TRACE(folder);
    ChildSetup setup;
    setup.args = {"--from-menu"};
    setup.env = {"HOME=" + home.string()};
    setup.binary = bin / "zerova";
    setup.user = kNobody;
    ChildProcess child(folder, setup);
    EXPECT_EQ(child.Wait(), 0) << child.err();
    EXPECT_EQ(child.err(), "");
    EXPECT_EQ(child.Out(), expected.string() + "\n");
  }
}

TEST_F(WindowStartTest, WithNoDisplayTheWindowSaysSoInOneLine) {
#ifndef ZEROVA_WINDOW_BUILT
  GTEST_SKIP() << "the window is not built";
#endif
  const std::string start = "zerova: cannot open the window: ";
  const std::string end = "; give a FILE to convert without one\n";
  const struct {
    std::vector<std::string> env;
    std::string why;
  } rows[] = {
      {{}, "no display to show it on (DISPLAY is not set)"},
      {{"DISPLAY=:65000"}, "no display at DISPLAY=:65000"},
  };
  for (const auto& row : rows) {
    ChildSetup setup;
    setup.env = row.env;
    setup.unset = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
    ChildProcess child(dir_, setup);
    EXPECT_EQ(child.Wait(), 1);
    EXPECT_EQ(child.err(), start + row.why + end);
    EXPECT_EQ(child.Out(), "");
  }
}

}  // namespace
