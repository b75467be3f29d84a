// AppendLine: one line appended, the scratch file renewed before it.
#include "conversion/append_line.h"

#include <gtest/gtest.h>

#include "services/error.h"
#include "support/memory_file_system.h"

namespace zerova {
namespace {

using testing::MemoryFileSystem;

constexpr const char* kScratch = "/opt/zerova/xmlstr.xml";

TEST(AppendLine, JoinsTheScratchNameToTheFolderWithOneSeparator) {
  EXPECT_EQ(ScratchFilePath("/opt/zerova"), "/opt/zerova/xmlstr.xml");
  EXPECT_EQ(ScratchFilePath("/"), "/xmlstr.xml");
}

TEST(AppendLine, MissingTargetFailsAfterTheScratchFileIsRenewed) {
  MemoryFileSystem fs;
  fs.SetFile(kScratch, "left over");
  try {
    AppendLine(fs, kScratch, "/work/gone.xml", "A");
    ADD_FAILURE() << "expected a FileSystemError";
  } catch (const FileSystemError& e) {
    EXPECT_STREQ(
        e.what(),
        "/work/gone.xml: could not open the file for appending: No such file or directory");
  }
  EXPECT_EQ(fs.Contents(kScratch), "");
  EXPECT_FALSE(fs.Has("/work/gone.xml"));
}

TEST(AppendLine, ScratchFileRemovedByAnotherProcessIsNoFailure) {
  MemoryFileSystem fs;
  fs.SetFile("/work/xmlstructure.xml", "");
  fs.SetFile(kScratch, "");
  fs.VanishBeforeDelete(kScratch);
  AppendLine(fs, kScratch, "/work/xmlstructure.xml", "A");
  EXPECT_EQ(fs.Contents("/work/xmlstructure.xml"), "A\r\n");
  EXPECT_TRUE(fs.Has(kScratch));
}

}  // namespace
}  // namespace zerova
