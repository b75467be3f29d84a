// The command line against what may happen to the files around a run: a
// symbolic link at the scratch file's path, planted before the run or between
// its delete and its create; a file renamed over the document between two
// lines; an interrupt while the spreadsheet is read; the limits a process runs
// under (ulimit -f, -n); endless standard input. Races are forced at an exact
// system call with the call gate (tests/support/call_gate.c), never by waiting.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/biff_builder.h"
#include "support/child_process.h"

namespace {

namespace fs = std::filesystem;

using zerova::test::ChildProcess;
using zerova::test::ChildSetup;
using zerova::test::ReadFile;
using zerova::test::Result;
using zerova::test::WriteFile;

using zerova::test::kBasic;
using zerova::test::kBasicDocument;
using zerova::test::kData;

class CommandLineSafetyTest : public ::testing::Test {
 protected:
  // A copy of zerova in a folder of its own, so that its scratch file, which
  // lies in the program's folder, is this test's alone.
  CommandLineSafetyTest() {
    fs::create_directory(bin_);
    fs::create_directory(work_);
    fs::copy_file(ZEROVA_BINARY, zerova_);
  }
  ~CommandLineSafetyTest() override { fs::remove_all(dir_); }

  const fs::path dir_ = ::mkdtemp(std::string("/tmp/zerova-safety-XXXXXX").data());
  const fs::path bin_ = dir_ / "bin", work_ = dir_ / "work", zerova_ = bin_ / "zerova";
  const fs::path scratch_ = bin_ / "xmlstr.xml", document_ = work_ / "xmlstructure.xml";
  const fs::path precious_ = dir_ / "precious.txt";

  // zerova_ with `args`, in work_, stopped at the `at`th `gate_call` when one is named.
  ChildSetup Zerova(std::vector<std::string> args, const char* gate_call = nullptr, int at = 0) {
    ChildSetup setup;
    setup.args = std::move(args);
    setup.binary = zerova_;
    setup.gate_call = gate_call;
    setup.gate_at = at;
    return setup;
  }
};

// A link at the scratch path, there from the start or planted between the
// renewal's delete and its create (the second line's): the link is deleted,
// never followed, and the file it leads to keeps its bytes.
TEST_F(CommandLineSafetyTest, ALinkAtTheScratchPathIsDeletedAndItsTargetKeepsItsBytes) {
  for (const bool planted_in_between : {false, true}) {
    SCOPED_TRACE(planted_in_between ? "planted between delete and create" : "there before");
    WriteFile(precious_, "precious\n");
    fs::remove(scratch_);
    if (!planted_in_between) fs::create_symlink(precious_, scratch_);
    // The second unlink is the first line's: the first renews the scratch file in trial.
    ChildProcess run(work_, Zerova({kBasic}, planted_in_between ? "unlink" : nullptr, 3));
    if (planted_in_between) {
      ASSERT_TRUE(run.AtGate());
      fs::create_symlink(precious_, scratch_);
      run.Release();
    }
    EXPECT_EQ(run.Wait(), 0);
    EXPECT_EQ(run.Out() + run.err(), zerova::test::kSuccess);
    EXPECT_EQ(ReadFile(precious_), "precious\n");
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(scratch_)));
    EXPECT_EQ(fs::file_size(scratch_), 0u);
    EXPECT_EQ(ReadFile(document_), ReadFile(kBasicDocument));
  }
}

// Another file renamed over the document after its third line: the fourth
// line is refused, that file keeps its bytes, and the run says so and fails.
TEST_F(CommandLineSafetyTest, AFileRenamedOverTheDocumentKeepsItsBytesAndTheRunFails) {
  ChildProcess run(work_, Zerova({kBasic}, "writev", 3));
  ASSERT_TRUE(run.AtGate());
  WriteFile(work_ / "other.txt", "another file\n");
  fs::rename(work_ / "other.txt", document_);
  run.Release();
  EXPECT_EQ(run.Wait(), 1);
  EXPECT_EQ(run.Out() + run.err(), "zerova: " + document_.string() +
                                       ": the file was replaced by another one during the "
                                       "conversion; nothing was written to that one\n");
  EXPECT_EQ(ReadFile(document_), "another file\n");
}

// SIGTERM while the workbook is read (after its third piece of 64 KB, of
// more than sixty): the next piece is never read, nothing is written, and the
// earlier document stays byte for byte.
TEST_F(CommandLineSafetyTest, ATermWhileReadingStopsTheReadingAndKeepsTheEarlierDocument) {
  const zerova::test::Bytes book = zerova::test::TextGridWorkbook(65535, 4);
  ASSERT_GT(book.size(), 60u * 64 * 1024);
  WriteFile(work_ / "big.xls", std::string(book.begin(), book.end()));
  WriteFile(document_, "earlier\r\n");
  ChildProcess run(work_, Zerova({"big.xls"}, "pread", 3));
  ASSERT_TRUE(run.AtGate());
  ::kill(run.pid(), SIGTERM);
  run.Release();
  EXPECT_EQ(run.Wait(), 143);
  EXPECT_EQ(run.Out() + run.err(),
            "zerova: big.xls: the conversion was cancelled before anything was written\n");
  EXPECT_EQ(run.GateReport(), "calls 3");
  EXPECT_EQ(ReadFile(document_), "earlier\r\n");
}

// A file-size limit (ulimit -f) below the document: the default document and
// one on standard output are refused before anything is written, in one line
// naming the limit; a batch goes on with its next file.
TEST_F(CommandLineSafetyTest, AFileSizeLimitRefusesTheDocumentBeforeAnythingIsWritten) {
  const std::string expected = ReadFile(kBasicDocument);
  const std::string too_large = "the document would be " + std::to_string(expected.size()) +
                                " bytes, more than the file-size limit of 200 bytes this program "
                                "runs under (ulimit -f); ";
  WriteFile(document_, "earlier\r\n");
  fs::copy_file(kData + "/several-sheets/input.xls", work_ / "small.xls");
  const struct {
    std::vector<std::string> args;
    fs::path stdout_to;
    int status;
    std::string err;
  } rows[] = {
      {{kBasic},
       "",
       1,
       "zerova: " + document_.string() + ": " + too_large + "the document was left as it was\n"},
      {{"-o", "-", kBasic},
       work_ / "piped.xml",
       1,
       "zerova: standard output: " + too_large + "no document was written\n"},
      {{"-q", "--outdir=out", kBasic, "small.xls"},
       "",
       1,
       "zerova: " + (work_ / "out/input.xml").string() + ": " + too_large +
           "no document was written\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.args.front());
    ChildSetup setup = Zerova(row.args);
    setup.limits = {{RLIMIT_FSIZE, 200}};
    setup.stdout_to = row.stdout_to;
    const Result r = zerova::test::Run(work_, setup);
    EXPECT_EQ(r.status, row.status);
    EXPECT_EQ(r.err, row.err);
  }
  EXPECT_EQ(ReadFile(document_), "earlier\r\n");
  EXPECT_EQ(ReadFile(work_ / "piped.xml"), "");
  EXPECT_TRUE(fs::exists(work_ / "out/small.xml"));
}

// Four descriptors in all (ulimit -n 4): the default run finds before the
// earlier document is emptied that it could not open the document beside its
// lock, and says how to raise the limit; a document written whole needs one.
TEST_F(CommandLineSafetyTest, TooFewDescriptorsAreFoundBeforeTheEarlierDocumentIsEmptied) {
  WriteFile(document_, "earlier\r\n");
  ChildSetup setup = Zerova({kBasic});
  setup.limits = {{RLIMIT_NOFILE, 4}};
  const Result line_by_line = zerova::test::Run(work_, setup);
  EXPECT_EQ(line_by_line.status, 1);
  EXPECT_TRUE(line_by_line.err.ends_with(
      "Too many open files (raise the limit with ulimit -n); the document was left as it was; "
      "give -o FILE to write the document whole, without the scratch file\n"))
      << line_by_line.err;
  EXPECT_EQ(ReadFile(document_), "earlier\r\n");
  setup.args = {"-q", "--outdir=out", kBasic};
  const Result whole = zerova::test::Run(work_, setup);
  EXPECT_EQ(whole.status, 0) << whole.err;
  EXPECT_EQ(ReadFile(work_ / "out/input.xml"), ReadFile(kBasicDocument));
}

// Endless zeros on standard input are refused from their first 16 KB, the
// process holding no more than a few megabytes.
TEST_F(CommandLineSafetyTest, EndlessInputIsRefusedFromItsFirstBytes) {
  ChildSetup setup = Zerova({"-"});
  setup.stdin_from = "/dev/zero";
  ChildProcess run(work_, setup);
  EXPECT_EQ(run.Wait(std::chrono::seconds(60)), 1);
  EXPECT_TRUE(run.err().starts_with("zerova: standard input: not a spreadsheet file")) << run.err();
  EXPECT_LT(run.max_rss_kib(), 64 * 1024);
}

}  // namespace
