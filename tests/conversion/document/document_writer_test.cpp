// The document's files against what other programs and the disk do to them. Line
// by line: the scratch file's name taken between its delete and its create, a file
// renamed over the document between two lines, a link or a FIFO in its place, a
// disk too small, the races forced by a wrapper of the in-memory disk that acts
// right after a chosen call; and where a run renews its scratch file (in the
// program's folder when the user may write there, never in a system folder).
// Written whole (-o FILE, --outdir): to a temporary file renamed into place, the
// earlier file keeping its bytes until the rename and no temporary file staying.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <utility>

#include "conversion/conversion_run.h"
#include "conversion/document/append_line.h"
#include "conversion/document/document_room.h"
#include "formats/sheet/sheet_store.h"
#include "services/error.h"
#include "services/forwarding_file_system.h"
#include "support/document.h"
#include "support/memory_file_system.h"

namespace zerova::test {
namespace {

constexpr const char* kOther = "another program's file\n";

// Labels A (Ada below it) and B: six lines.
std::unique_ptr<Worksheet> SixLineSheet() { return ColumnsSheet({{"A", "Ada"}, {"B"}}); }
const std::string kSixLines =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Main>\r\n<node id=\"n1\" lbl=\"A\">\r\n"
    "<value>Ada</value>\r\n</node>\r\n<node id=\"n2\" lbl=\"B\">\r\n</node>\r\n</Main>\r\n";

// Calls `act(op, n, disk)` right after the nth call (from 1) of each of
// DeleteFile, CreateNewFile and AppendLineToFile, to change the disk there.
class Meddler final : public ForwardingFileSystem {
 public:
  using Act = std::function<void(const std::string& op, int n, MemoryFileSystem& disk)>;
  Meddler(MemoryFileSystem& disk, Act act) : ForwardingFileSystem(disk), disk_(disk), act_(act) {}

  bool DeleteFile(const std::string& path) override {
    const bool deleted = ForwardingFileSystem::DeleteFile(path);
    act_("DeleteFile", ++deletes_, disk_);
    return deleted;
  }
  bool CreateNewFile(const std::string& path) override {
    const bool created = ForwardingFileSystem::CreateNewFile(path);
    act_("CreateNewFile", ++creates_, disk_);
    return created;
  }
  void AppendLineToFile(const std::string& path, std::string_view line,
                        const FileLock& locked) override {
    ForwardingFileSystem::AppendLineToFile(path, line, locked);
    act_("AppendLineToFile", ++appends_, disk_);
  }
  void CheckAppendable(const std::string& path, const FileLock& locked) override {
    act_("CheckAppendable", 1, disk_);
    ForwardingFileSystem::CheckAppendable(path, locked);
  }

 private:
  MemoryFileSystem& disk_;
  Act act_;
  int deletes_ = 0, creates_ = 0, appends_ = 0;
};

// What a run on `fs` throws ("" when it completes).
std::string RunOn(FileSystem& fs, RecordingHooks& hooks) {
  return RunFailure(SixLineSheet(), fs, hooks);
}

// The scratch file's name taken again right after the renewal's delete, by
// another conversion's empty scratch file or by something else, once or every
// time: an empty file is the renewal's result as it stands; anything else is
// deleted and the create tried again, four times at most. Nothing planted is
// ever opened, so a planted file keeps its bytes. The first renewal is the
// trial before the document is emptied, where giving up leaves it as it was.
TEST(DocumentWriterTest, TheScratchNameTakenBetweenDeleteAndCreateIsDeletedAndTriedAgain) {
  const std::string gave_up =
      std::string(kScratch) +
      ": another program keeps taking the scratch file's name; what it put there was left "
      "unopened; the document was left as it was";
  const struct {
    const char* planted;
    PathKind kind;
    int times;
    bool freed;   // the name is freed again before the renewal looks a second time
    int creates;  // CreateNewFile calls of the trial
    std::string error;
  } rows[] = {
      {"", PathKind::kFile, 1, false, 1, ""},  // an empty file: another conversion's
      {"", PathKind::kFile, 1, true, 1, ""},   // which that one's next renewal removed
      {"", PathKind::kLink, 1, false, 2, ""},
      {"", PathKind::kLink, 3, false, 4, ""},
      {"", PathKind::kLink, 4, false, 4, gave_up},
      {"someone's bytes", PathKind::kFile, 4, false, 4, gave_up},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(static_cast<int>(row.kind)) + " x" + std::to_string(row.times) +
                 (row.freed ? " freed" : ""));
    MemoryFileSystem disk;
    disk.SetFile(kScratch, "");
    Meddler fs(disk, [&](const std::string& op, int n, MemoryFileSystem& d) {
      if (op == "CreateNewFile" && n == 1 && row.freed) d.DeleteFile(kScratch);
      if (op != "DeleteFile" || n > row.times) return;
      if (row.kind == PathKind::kFile) {
        d.SetFile(kScratch, row.planted);
      } else {
        d.SetKind(kScratch, row.kind);
      }
    });
    RecordingHooks hooks;
    EXPECT_EQ(RunOn(fs, hooks), row.error);
    const auto& calls = disk.calls();
    const auto first_append =
        std::find(calls.begin(), calls.end(), "AppendLineToFile /work/xmlstructure.xml");
    EXPECT_EQ(std::count(calls.begin(), first_append, "CreateNewFile " + std::string(kScratch)),
              row.creates + (row.error.empty() ? 1 : 0));  // and the first line's
    if (row.error.empty()) {
      EXPECT_EQ(disk.Contents(kDocument), kSixLines);
      EXPECT_EQ(disk.Examine(kScratch), PathKind::kEmptyFile);
    } else if (row.kind == PathKind::kFile) {
      EXPECT_EQ(disk.Contents(kScratch), row.planted);
    }
  }
}

// Another file put in the document's place after its third line, by a rename
// or as a link: no line goes into it, the run fails saying so, and a stop
// asked for at that moment leaves that file too.
TEST(DocumentWriterTest, LinesAndTheStopTouchOnlyTheFileTheRunLocked) {
  const std::string replaced =
      std::string(kDocument) +
      ": the file was replaced by another one during the conversion; nothing was written to that "
      "one";
  const struct {
    bool link;  // else a file renamed over the document
    bool stop;  // the user asks to stop after line 3
    std::string error;
  } rows[] = {
      {false, false, replaced},
      {true, false, replaced},
      {false, true,
       std::string(kDocument) +
           ": the conversion was cancelled; another file had been put in the document's place, "
           "and it was left as it is"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.link ? "link" : "rename") + (row.stop ? ", stop" : ""));
    MemoryFileSystem disk;
    disk.SetFile(kDocument, kEarlier);
    disk.SetFolderWritable(false);
    Meddler fs(disk, [&](const std::string& op, int n, MemoryFileSystem& d) {
      if (op != "AppendLineToFile" || n != 3) return;
      if (row.link) return d.SetKind(kDocument, PathKind::kLink);
      d.SetFile("/work/other", kOther);
      d.Rename("/work/other", kDocument);
    });
    RecordingHooks hooks;
    hooks.stop_after = row.stop ? 3 : -1;
    EXPECT_EQ(RunOn(fs, hooks), row.error);
    EXPECT_EQ(disk.Examine(kDocument), row.link ? PathKind::kLink : PathKind::kFile);
    if (!row.link) {
      EXPECT_EQ(disk.Contents(kDocument), kOther);
    }
    EXPECT_EQ(hooks.progress.size(), 3u);
  }
}

// The scratch file made read-only or a folder after the third line stops the
// run there, the document holding those lines; removed, it is renewed as usual.
// The document removed stops the run too.
TEST(DocumentWriterTest, AScratchFileChangedDuringTheRunStopsItUnlessRemoved) {
  for (const PathKind kind : {PathKind::kReadOnlyFile, PathKind::kFolder, PathKind::kMissing}) {
    SCOPED_TRACE(static_cast<int>(kind));
    MemoryFileSystem disk;
    Meddler fs(disk, [&](const std::string& op, int n, MemoryFileSystem& d) {
      if (op != "AppendLineToFile" || n != 3) return;
      kind == PathKind::kMissing ? void(d.DeleteFile(kScratch)) : d.SetKind(kScratch, kind);
    });
    RecordingHooks hooks;
    const std::string error = RunOn(fs, hooks);
    EXPECT_EQ(error.find(kScratch) == 0, kind != PathKind::kMissing) << error;
    EXPECT_EQ(disk.Contents(kDocument).size(),
              kind == PathKind::kMissing ? kSixLines.size() : kSixLines.find("</node>"));
  }
  // The document itself removed: the run stops, counting no lines in what is gone.
  MemoryFileSystem disk;
  Meddler fs(disk, [&](const std::string& op, int n, MemoryFileSystem& d) {
    if (op == "AppendLineToFile" && n == 3) d.DeleteFile(kDocument);
  });
  RecordingHooks hooks;
  const std::string error = RunOn(fs, hooks);
  EXPECT_TRUE(error.starts_with(kDocument)) << error;
  EXPECT_EQ(error.find("lines"), std::string::npos) << error;
}

// What is checked before the earlier document is emptied: the free space and
// the file-size limit (one byte short, and just enough), what stands in the
// document's and the scratch file's places, and one trial of what each line
// does: renewing the scratch file (another user's, no inode left) and opening
// the document (no descriptor left). A refusal leaves the earlier document
// byte for byte, and says so.
TEST(DocumentWriterTest, EveryCheckBeforeTheDocumentIsEmptiedKeepsTheEarlierOne) {
  const std::uint64_t needed = kSixLines.size(), earlier = std::string(kEarlier).size();
  const std::string kept = "; the document was left as it was";
  const std::uint64_t unknown = FileSystem::kUnknownSpace;
  const struct {
    const char* why;
    std::uint64_t free;   // besides the earlier document's own bytes
    std::uint64_t limit;  // the file-size limit
    PathKind at_document, at_scratch;
    const char* failing;  // the call that fails, with `error_number`
    int error_number;
    std::string error;
  } rows[] = {
      {"one byte short", needed - earlier - 1, unknown, PathKind::kFile, PathKind::kMissing, "", 0,
       std::string(kDocument) + ": not enough free space for the document: it needs " +
           std::to_string(needed) + " bytes, and " + std::to_string(needed - 1) +
           " bytes are free" + kept},
      {"just enough", needed - earlier, needed, PathKind::kFile, PathKind::kMissing, "", 0, ""},
      {"over the file-size limit", unknown, needed - 1, PathKind::kFile, PathKind::kMissing, "", 0,
       std::string(kDocument) + ": the document would be " + std::to_string(needed) +
           " bytes, more than the file-size limit of " + std::to_string(needed - 1) +
           " bytes this program runs under (ulimit -f)" + kept},
      {"a link", unknown, unknown, PathKind::kLink, PathKind::kMissing, "", 0,
       std::string(kDocument) + ": a symbolic link stands in the file's place; it is not followed"},
      {"a FIFO", unknown, unknown, PathKind::kOther, PathKind::kMissing, "", 0,
       std::string(kDocument) + ": is not a regular file; nothing is written to it"},
      {"a folder as the scratch file", unknown, unknown, PathKind::kFile, PathKind::kFolder, "", 0,
       std::string(kScratch) + ": a folder stands where the scratch file belongs" + kept},
      {"another user's scratch file", unknown, unknown, PathKind::kFile, PathKind::kFile,
       "DeleteFile", EPERM,
       std::string(kScratch) + ": could not delete the file: Operation not permitted" + kept},
      {"no inode left", unknown, unknown, PathKind::kFile, PathKind::kMissing, "CreateNewFile",
       ENOSPC,
       std::string(kScratch) + ": could not create the file: No space left on device" + kept},
      {"no descriptor left", unknown, unknown, PathKind::kFile, PathKind::kMissing,
       "CheckAppendable", EMFILE,
       std::string(kDocument) +
           ": could not open the file for appending: Too many open files (raise the limit with "
           "ulimit -n)" +
           kept},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    MemoryFileSystem disk;
    if (row.at_document == PathKind::kFile) {
      disk.SetFile(kDocument, kEarlier);
    } else {
      disk.SetKind(kDocument, row.at_document);
    }
    if (row.at_scratch == PathKind::kFile) disk.SetFile(kScratch, "someone else's\n");
    if (row.at_scratch == PathKind::kFolder) disk.SetKind(kScratch, row.at_scratch);
    if (row.free != unknown) disk.SetFreeSpace(row.free);
    disk.SetFileSizeLimit(row.limit);
    Meddler fs(disk, [&](const std::string& op, int n, MemoryFileSystem&) {
      if (op != row.failing || n != 1) return;
      if (op == "DeleteFile") throw PosixError(kScratch, "delete the file", row.error_number);
      if (op == "CreateNewFile") throw PosixError(kScratch, "create the file", row.error_number);
      throw PosixError(kDocument, "open the file for appending", row.error_number);
    });
    RecordingHooks hooks;
    EXPECT_EQ(RunOn(fs, hooks), row.error);
    if (row.error.empty()) {
      EXPECT_EQ(disk.Contents(kDocument), kSixLines);
      continue;
    }
    EXPECT_EQ(disk.Examine(kDocument),
              row.at_document == PathKind::kFile ? PathKind::kFile : row.at_document);
    if (row.at_document == PathKind::kFile) {
      EXPECT_EQ(disk.Contents(kDocument), kEarlier);
    }
    EXPECT_TRUE(hooks.progress.empty());
  }
}

// A stream gets the bytes the file gets, its lines written a block of a
// megabyte at a time: here three blocks and part of a fourth, a line cut at
// each block's edge.
TEST(DocumentWriterTest, AStreamGetsTheFilesBytesABlockAtATime) {
  const auto sheet = [] {
    auto store = std::make_unique<SheetStore>();
    store->Put(1, 1, CellValue::Text("N"));
    for (std::int64_t row = 2; row <= 150000; ++row) store->PutNumber(row, 1, row * 1.25);
    store->Seal();
    return store;
  };
  MemoryFileSystem disk;
  RecordingHooks hooks;
  ASSERT_EQ(RunFailure(sheet(), disk, hooks), "");
  ASSERT_GT(disk.Contents(kDocument).size(), 3u << 20);

  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> stream(std::tmpfile(), &std::fclose);
  ASSERT_NE(stream, nullptr);
  ConversionRequest request;
  request.output_stream = stream.get();
  ASSERT_EQ(RunFailure(sheet(), disk, hooks, request), "");
  std::rewind(stream.get());
  std::string written;
  for (int c; (c = std::fgetc(stream.get())) != EOF;) written.push_back(static_cast<char>(c));
  EXPECT_TRUE(written == disk.Contents(kDocument)) << written.size();
}

TEST(ScratchFileForRun, RenewsInTheUsersOwnFolderOnly) {
  for (const bool writable : {true, false}) {
    MemoryFileSystem fs;
    fs.SetProgramFolder("/home/ada/zerova");
    fs.SetFolderWritable(writable);
    EXPECT_EQ(ScratchFileForRun(fs), writable ? "/home/ada/zerova/xmlstr.xml" : "");
    EXPECT_EQ(fs.calls(), (std::vector<std::string>{"ProgramFolder", "IsWritableFolder"}));
  }
  MemoryFileSystem root;
  root.SetProgramFolder("/");
  EXPECT_EQ(ScratchFileForRun(root), "/xmlstr.xml");
}

// Sizes as messages say them: three figures at most, 1.0 of the next unit
// where the last would show 1000.
TEST(DocumentRoomTest, SizesAreSaidAsAPersonReadsThem) {
  const std::pair<std::uint64_t, const char*> cases[] = {
      {0, "0 bytes"},          {999, "999 bytes"},
      {1000, "1.0 KB"},        {9'949, "9.9 KB"},
      {10'000, "10 KB"},       {12'345, "12 KB"},
      {999'499, "999 KB"},     {999'500, "1.0 MB"},
      {2'500'000, "2.5 MB"},   {309'237'634'261, "309 GB"},
      {UINT64_MAX, "18447 PB"}};
  for (const auto& [bytes, said] : cases) EXPECT_EQ(SizeText(bytes), said) << bytes;
}

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
