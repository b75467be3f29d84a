// How `zerova` starts the window from the desktop's menu (--from-menu, perhaps
// with a FILE): in the home folder when the current one is not writable, the
// FILE handed on as a full path made before the move. The window program is a
// stand-in here, which prints the folder it was started in and its arguments.
// (Without a display the real one says so: tests/window/no_display.sh.)
#include <gtest/gtest.h>

#include <filesystem>

#include "support/child_process.h"

namespace {

namespace fs = std::filesystem;
using zerova::test::ChildProcess;
using zerova::test::ChildSetup;
using zerova::test::WriteFile;

using zerova::test::kNobody;

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
// sends it home; a writable one keeps it. A FILE still names the file it named.
TEST_F(WindowStartTest, FromTheMenuAnUnwritableFolderGivesWayToTheHomeFolder) {
  const fs::path bin = dir_ / "bin", home = dir_ / "home", desk = dir_ / "desk",
                 locked = dir_ / "locked";
  for (const fs::path& folder : {bin, home, desk, locked}) fs::create_directory(folder);
  fs::copy_file(ZEROVA_BINARY, bin / "zerova");
  WriteFile(bin / "zerova-window", "#!/bin/sh\npwd\nfor a; do echo \"$a\"; done\n");
  const fs::perms open = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                         fs::perms::others_read | fs::perms::others_exec;
  fs::permissions(dir_, open);
  fs::permissions(bin / "zerova-window", open);
  fs::permissions(home, fs::perms::all);
  fs::permissions(desk, fs::perms::all);
  fs::permissions(locked, open & ~fs::perms::owner_write);
  const struct {
    fs::path folder, expected;
    std::string file, handed_on;  // the FILE given ("": none), and as the window gets it
  } rows[] = {
      {locked, home, "", ""},
      {desk, desk, "", ""},
      {locked, home, "book.xls", (locked / "book.xls").string()},
      {desk, desk, "../b c.ods", (desk / "../b c.ods").string()},
      {locked, home, "/elsewhere/book.xls", "/elsewhere/book.xls"},
  };
  for (const auto& [folder, expected, file, handed_on] : rows) {
    SCOPED_TRACE(folder / file);
    ChildSetup setup;
    setup.args = {"--from-menu"};
    if (!file.empty()) setup.args.push_back(file);
    setup.env = {"HOME=" + home.string()};
    setup.binary = bin / "zerova";
    setup.user = kNobody;
    ChildProcess child(folder, setup);
    EXPECT_EQ(child.Wait(), 0) << child.err();
    EXPECT_EQ(child.err(), "");
    EXPECT_EQ(child.Out(), expected.string() + "\n" + (file.empty() ? "" : handed_on + "\n"));
  }
}

}  // namespace
