// The document a user names (-o FILE, --outdir), written whole to a temporary
// file and renamed into place: until the rename the earlier file keeps its
// bytes, and however the run ends before it, no temporary file stays.
#include <gtest/gtest.h>

#include <cerrno>
#include <functional>

#include "conversion/conversion_run.h"
#include "services/error.h"
#include "support/document.h"
#include "support/memory_file_system.h"

namespace zerova::test {
namespace {

constexpr const char* kOut = "/work/out.xml";
const std::string kTwoLines = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Main>\r\n</Main>\r\n";

// What a run of an empty sheet into kOut throws ("" when it completes).
std::string RunInto(MemoryFileSystem& disk, RecordingHooks& hooks) {
  ConversionRequest request;
  request.output = kOut;
  return RunFailure(ColumnsSheet({}), disk, hooks, request);
}

TEST(WholeDocumentTest, EveryFailureAndStopBeforeTheRenameKeepsTheEarlierFile) {
  const std::string kept = "; the earlier document was left as it was";
  const std::uint64_t size = kTwoLines.size();
  const struct {
    const char* why;
    std::function<void(MemoryFileSystem&)> set_up;
    std::int64_t stop_after;
    std::string error;
  } rows[] = {
      {"completes", [](MemoryFileSystem&) {}, -1, ""},
      {"one byte too little space", [&](MemoryFileSystem& d) { d.SetFreeSpace(size - 1); }, -1,
       std::string(kOut) + ": not enough free space for the document: it needs " +
           std::to_string(size) + " bytes, and " + std::to_string(size - 1) + " bytes are free" +
           kept},
      {"just enough space", [&](MemoryFileSystem& d) { d.SetFreeSpace(size); }, -1, ""},
      {"over the file-size limit", [&](MemoryFileSystem& d) { d.SetFileSizeLimit(size - 1); }, -1,
       std::string(kOut) + ": the document would be " + std::to_string(size) +
           " bytes, more than the file-size limit of " + std::to_string(size - 1) +
           " bytes this program runs under (ulimit -f)" + kept},
      {"a full disk", [](MemoryFileSystem& d) { d.FailWritesAt(10, ENOSPC); }, -1,
       std::string(kOut) + ": could not write to the file: No space left on device" + kept},
      {"an I/O error", [](MemoryFileSystem& d) { d.FailWritesAt(0, EIO); }, -1,
       std::string(kOut) + ": could not write to the file: Input/output error" + kept},
      {"the folder made read-only", [](MemoryFileSystem& d) { d.FailRenames(EACCES); }, -1,
       std::string(kOut) + ": could not put the document in place: Permission denied" + kept},
      {"the folder removed", [](MemoryFileSystem& d) { d.FailRenames(ENOENT); }, -1,
       std::string(kOut) + ": could not put the document in place: No such file or directory" +
           kept},
      {"a stop", [](MemoryFileSystem&) {}, 1,
       std::string(kOut) + ": the conversion was cancelled" + kept},
      {"a link in its place", [](MemoryFileSystem& d) { d.SetKind(kOut, PathKind::kLink); }, -1,
       std::string(kOut) + ": a symbolic link stands in the file's place; it is not followed"},
      {"a read-only file", [](MemoryFileSystem& d) { d.SetKind(kOut, PathKind::kReadOnlyFile); },
       -1, std::string(kOut) + ": the file is read-only; it was left as it was"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    MemoryFileSystem disk;
    disk.SetFile(kOut, kEarlier);
    row.set_up(disk);
    RecordingHooks hooks;
    hooks.stop_after = row.stop_after;
    EXPECT_EQ(RunInto(disk, hooks), row.error);
    if (disk.Examine(kOut) == PathKind::kFile || disk.Examine(kOut) == PathKind::kEmptyFile) {
      EXPECT_EQ(disk.Contents(kOut), row.error.empty() ? kTwoLines : kEarlier);
    }
    EXPECT_EQ(disk.Paths(), std::vector<std::string>{kOut});  // no temporary file stays
  }
}

// Without an earlier file, a failure says that no document was written, and
// leaves nothing.
TEST(WholeDocumentTest, WithoutAnEarlierFileAFailureLeavesNothing) {
  MemoryFileSystem disk;
  disk.FailWritesAt(0, ENOSPC);
  RecordingHooks hooks;
  EXPECT_EQ(RunInto(disk, hooks), std::string(kOut) +
                                      ": could not write to the file: No space left on device; "
                                      "no document was written");
  EXPECT_TRUE(disk.Paths().empty());
}

// A stream that is a regular file under a file-size limit takes no document
// larger than the limit: it is refused before anything is written.
TEST(WholeDocumentTest, AStreamRefusesADocumentPastItsLimitBeforeWriting) {
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> stream(std::tmpfile(), &std::fclose);
  ASSERT_NE(stream, nullptr);
  for (const std::uint64_t limit : {kTwoLines.size() - 1, kTwoLines.size()}) {
    MemoryFileSystem disk;
    RecordingHooks hooks;
    ConversionRequest request;
    request.output_stream = stream.get();
    request.output_stream_limit = limit;
    const bool fits = limit == kTwoLines.size();
    EXPECT_EQ(RunFailure(ColumnsSheet({}), disk, hooks, request),
              fits ? ""
                   : "standard output: the document would be 55 bytes, more than the "
                     "file-size limit of 54 bytes this program runs under (ulimit -f); "
                     "no document was written");
    EXPECT_EQ(std::ftell(stream.get()), fits ? static_cast<long>(kTwoLines.size()) : 0);
  }
}

}  // namespace
}  // namespace zerova::test
