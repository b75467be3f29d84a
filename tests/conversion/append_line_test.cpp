// AppendLine: one line appended, the scratch file renewed before it.
#include "conversion/append_line.h"

#include <gtest/gtest.h>

#include "services/error.h"
#include "support/memory_file_system.h"

namespace zerova {
namespace {

using testing::MemoryFileSystem;

constexpr const char* kTarget = "xmlstructure.xml";
constexpr const char* kScratch = "/opt/zerova/xmlstr.xml";

class AppendLineTest : public ::testing::Test {
 protected:
  AppendLineTest() { fs_.SetFile(kTarget, ""); }
  MemoryFileSystem fs_;
};

TEST_F(AppendLineTest, AppendsLinesWithCrLfAndLeavesAnEmptyScratchFile) {
  AppendLine(fs_, kTarget, "A");
  EXPECT_TRUE(fs_.Has(kScratch));
  AppendLine(fs_, kTarget, "");
  AppendLine(fs_, kTarget, "B");
  EXPECT_EQ(fs_.Contents(kTarget), "A\r\n\r\nB\r\n");
  EXPECT_EQ(fs_.Contents(kScratch), "");
}

TEST_F(AppendLineTest, RenewsTheScratchFileBeforeEveryLine) {
  fs_.SetFile(kScratch, "left over");
  AppendLine(fs_, kTarget, "A");
  EXPECT_EQ(fs_.Contents(kScratch), "");
  EXPECT_EQ(fs_.calls(), (std::vector<std::string>{
                             "FileExists /opt/zerova/xmlstr.xml",
                             "DeleteFile /opt/zerova/xmlstr.xml",
                             "CreateTextFile /opt/zerova/xmlstr.xml",
                             "AppendLineToFile xmlstructure.xml",
                         }));
}

TEST_F(AppendLineTest, JoinsTheScratchNameToTheFolderWithOneSeparator) {
  EXPECT_EQ(ScratchFilePath("/opt/zerova"), "/opt/zerova/xmlstr.xml");
  EXPECT_EQ(ScratchFilePath("/"), "/xmlstr.xml");
}

TEST_F(AppendLineTest, MissingTargetFailsAfterTheScratchFileIsRenewed) {
  try {
    AppendLine(fs_, "gone.xml", "A");
    FAIL() << "expected a FileSystemError";
  } catch (const FileSystemError& e) {
    EXPECT_STREQ(e.what(), "gone.xml: could not open the file for appending");
  }
  EXPECT_TRUE(fs_.Has(kScratch));
  EXPECT_FALSE(fs_.Has("gone.xml"));
}

TEST_F(AppendLineTest, ReadOnlyScratchFileStopsBeforeTheTargetIsTouched) {
  fs_.SetFile(kScratch, "");
  fs_.SetReadOnly(kScratch);
  EXPECT_THROW(AppendLine(fs_, kTarget, "A"), FileSystemError);
  EXPECT_EQ(fs_.Contents(kTarget), "");
}

TEST_F(AppendLineTest, ScratchFileRemovedByAnotherProcessIsNoFailure) {
  fs_.SetFile(kScratch, "");
  fs_.VanishBeforeDelete(kScratch);
  AppendLine(fs_, kTarget, "A");
  EXPECT_EQ(fs_.Contents(kTarget), "A\r\n");
  EXPECT_TRUE(fs_.Has(kScratch));
}

TEST_F(AppendLineTest, ReadOnlyProgramFolderSkipsTheScratchFile) {
  fs_.SetFolderWritable(false);
  AppendLine(fs_, kTarget, "A");
  EXPECT_EQ(fs_.Contents(kTarget), "A\r\n");
  EXPECT_FALSE(fs_.Has(kScratch));
  EXPECT_EQ(fs_.calls(), std::vector<std::string>{"AppendLineToFile xmlstructure.xml"});
}

}  // namespace
}  // namespace zerova
