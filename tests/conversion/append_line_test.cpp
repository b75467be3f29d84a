// AppendLine: one line appended, the scratch file renewed before it; and the
// run's look at the scratch file before its first line.
#include "conversion/append_line.h"

#include <gtest/gtest.h>

#include "services/error.h"
#include "support/memory_file_system.h"

namespace zerova {
namespace {

using testing::MemoryFileSystem;

constexpr const char* kTarget = "/work/xmlstructure.xml";
constexpr const char* kScratch = "/opt/zerova/xmlstr.xml";

class AppendLineTest : public ::testing::Test {
 protected:
  AppendLineTest() { fs_.SetFile(kTarget, ""); }

  void Append(std::string_view line) { AppendLine(fs_, kScratch, kTarget, line); }
  // The message AppendLine throws, or "" when it throws nothing.
  std::string FailureOf(std::string_view line) {
    try {
      Append(line);
    } catch (const FileSystemError& e) {
      return e.what();
    }
    return "";
  }

  MemoryFileSystem fs_;
};

TEST_F(AppendLineTest, AppendsLinesWithCrLfAndLeavesAnEmptyScratchFile) {
  Append("A");
  EXPECT_TRUE(fs_.Has(kScratch));
  fs_.SetFile(kScratch, "left over");
  Append("");
  Append("B");
  EXPECT_EQ(fs_.Contents(kTarget), "A\r\n\r\nB\r\n");
  EXPECT_EQ(fs_.Contents(kScratch), "");
}

TEST_F(AppendLineTest, JoinsTheScratchNameToTheFolderWithOneSeparator) {
  EXPECT_EQ(ScratchFilePath("/opt/zerova"), "/opt/zerova/xmlstr.xml");
  EXPECT_EQ(ScratchFilePath("/"), "/xmlstr.xml");
}

TEST_F(AppendLineTest, MissingTargetFailsAfterTheScratchFileIsRenewed) {
  fs_.SetFile(kScratch, "left over");
  try {
    AppendLine(fs_, kScratch, "/work/gone.xml", "A");
    FAIL() << "expected a FileSystemError";
  } catch (const FileSystemError& e) {
    EXPECT_STREQ(
        e.what(),
        "/work/gone.xml: could not open the file for appending: No such file or directory");
  }
  EXPECT_EQ(fs_.Contents(kScratch), "");
  EXPECT_FALSE(fs_.Has("/work/gone.xml"));
}

TEST_F(AppendLineTest, ReadOnlyScratchFileStopsBeforeTheTargetIsTouched) {
  fs_.SetFile(kScratch, "kept");
  fs_.SetReadOnly(kScratch);
  EXPECT_EQ(FailureOf("A"), "/opt/zerova/xmlstr.xml: the file is read-only and cannot be replaced");
  EXPECT_EQ(fs_.Contents(kScratch), "kept");
  EXPECT_EQ(fs_.Contents(kTarget), "");
}

TEST_F(AppendLineTest, ScratchFileRemovedByAnotherProcessIsNoFailure) {
  fs_.SetFile(kScratch, "");
  fs_.VanishBeforeDelete(kScratch);
  Append("A");
  EXPECT_EQ(fs_.Contents(kTarget), "A\r\n");
  EXPECT_TRUE(fs_.Has(kScratch));
}

TEST_F(AppendLineTest, NoScratchFileMeansTheAppendAlone) {
  AppendLine(fs_, "", kTarget, "A");
  EXPECT_EQ(fs_.Contents(kTarget), "A\r\n");
  EXPECT_FALSE(fs_.Has(kScratch));
  EXPECT_EQ(fs_.calls(), std::vector<std::string>{"AppendLineToFile /work/xmlstructure.xml"});
}

}  // namespace
}  // namespace zerova
