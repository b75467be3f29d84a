// Where a run renews its scratch file: in the program's folder when the user may
// write there, never in a system folder, whoever runs the program.
#include <gtest/gtest.h>

#include "conversion/append_line.h"
#include "support/memory_file_system.h"

namespace zerova {
namespace {

TEST(ScratchFileForRun, RenewsInTheUsersOwnFolderOnlyAndNeverInASystemFolder) {
  // clang-format off
  const struct {
    const char* program_folder;
    bool writable;         // by the user running the program (root: always)
    const char* expected;  // empty: the renewal is skipped
  } rows[] = {
      {"/home/ada/zerova", true, "/home/ada/zerova/xmlstr.xml"}, {"/home/ada/zerova", false, ""},
      {"/", true, "/xmlstr.xml"}, {"/usr", true, ""}, {"/usr/bin", true, ""},
      {"/usr/local/bin", true, ""}, {"/bin", true, ""}, {"/sbin", true, ""},
      {"/opt/zerova/bin", true, ""},
      // Only whole folder names count, and only from the root.
      {"/usrlocal/bin", true, "/usrlocal/bin/xmlstr.xml"}, {"/optical", true, "/optical/xmlstr.xml"},
      {"/home/ada/usr/bin", true, "/home/ada/usr/bin/xmlstr.xml"},
  };
  // clang-format on
  for (const auto& row : rows) {
    test::MemoryFileSystem fs;
    fs.SetProgramFolder(row.program_folder);
    fs.SetFolderWritable(row.writable);
    EXPECT_EQ(ScratchFileForRun(fs), row.expected) << row.program_folder;
    // A system folder is known by its name alone; any other is asked about once.
    const bool system = *row.expected == '\0' && row.writable;
    std::vector<std::string> calls = {"ProgramFolder"};
    if (!system) calls.push_back("IsWritableFolder");
    EXPECT_EQ(fs.calls(), calls) << row.program_folder;
  }
}

}  // namespace
}  // namespace zerova
