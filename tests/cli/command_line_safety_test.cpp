// The command line against what may happen to the files around a run: a
// symbolic link at the scratch file's path, planted before the run or between
// its delete and its create; a file renamed over the document between two
// lines; an interrupt while the spreadsheet is read; a sheet wider than Excel's.
// Races are forced at an exact system call with the call gate
// (tests/support/call_gate.c), never by waiting.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/text_grid.h"

namespace {

namespace fs = std::filesystem;

using zerova::test::ReadFile;
using zerova::test::WriteFile;

// `binary FILE` run in `work`, stdout and stderr into one file, in the order
// written. With a gate call named, the call gate is preloaded and stops the
// child once its `at`th call of that name is made, until Release.
class ZerovaRun {
 public:
  ZerovaRun(const fs::path& work, const fs::path& binary, const std::string& file,
            const char* gate_call = nullptr, int at = 0)
      : output_(work / ".output") {
    int to_child[2], from_child[2];
    if (gate_call != nullptr && (::pipe(to_child) != 0 || ::pipe(from_child) != 0)) return;
    if ((pid_ = ::fork()) != 0) {
      if (gate_call != nullptr) {
        ::close(to_child[0]), ::close(from_child[1]);
        release_ = to_child[1], gate_ = from_child[0];
      }
      return;
    }
    if (gate_call != nullptr) {
      ::close(to_child[1]), ::close(from_child[0]);
      ::setenv("LD_PRELOAD", ZEROVA_CALL_GATE, 1);
      ::setenv("ASAN_OPTIONS", "verify_asan_link_order=0", 1);
      ::setenv("ZEROVA_GATE_CALL", gate_call, 1);
      ::setenv("ZEROVA_GATE_AT", std::to_string(at).c_str(), 1);
      const std::string fds = std::to_string(to_child[0]) + "," + std::to_string(from_child[1]);
      ::setenv("ZEROVA_GATE_FDS", fds.c_str(), 1);
    }
    const int out = ::open(output_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(::open("/dev/null", O_RDONLY), 0);
    ::dup2(out, 1);
    ::dup2(out, 2);
    if (::chdir(work.c_str()) == 0) ::execl(binary.c_str(), "zerova", file.c_str(), nullptr);
    ::_exit(127);
  }
  ~ZerovaRun() {
    if (status_ < 0 && pid_ > 0) ::kill(pid_, SIGKILL), Wait();
    if (gate_ >= 0) ::close(gate_), ::close(release_);
  }

  // True once the child stands at the gate.
  bool AtGate() {
    char byte = 0;
    return ::read(gate_, &byte, 1) == 1 && byte == 'g';
  }
  void Release() { (void)!::write(release_, "r", 1); }
  void Signal(int number) { ::kill(pid_, number); }

  // The exit status (128 + N after signal N).
  int Wait() {
    int raw = 0;
    ::waitpid(pid_, &raw, 0);
    return status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  }
  // What the child printed, in order.
  std::string output() const { return ReadFile(output_); }
  // "calls N": the watched calls the child made, reported by the gate at its exit.
  std::string GateReport() {
    std::string report;
    char buffer[64];
    for (ssize_t n; (n = ::read(gate_, buffer, sizeof buffer)) > 0;) report.append(buffer, n);
    return report;
  }

 private:
  fs::path output_;
  pid_t pid_ = -1;
  int status_ = -1;
  int gate_ = -1, release_ = -1;
};

const std::string kBasic = std::string(ZEROVA_TEST_DATA) + "/basic/input.xls";
constexpr const char* kOk = "XML created successfully\n";

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
    ZerovaRun run(work_, zerova_, kBasic, planted_in_between ? "unlink" : nullptr, 2);
    if (planted_in_between) {
      ASSERT_TRUE(run.AtGate());
      fs::create_symlink(precious_, scratch_);
      run.Release();
    }
    EXPECT_EQ(run.Wait(), 0);
    EXPECT_EQ(run.output(), kOk);
    EXPECT_EQ(ReadFile(precious_), "precious\n");
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(scratch_)));
    EXPECT_EQ(fs::file_size(scratch_), 0u);
    EXPECT_EQ(ReadFile(document_), ReadFile(std::string(ZEROVA_TEST_DATA) + "/basic/expected.xml"));
  }
}

// Another file renamed over the document after its third line: the fourth
// line is refused, that file keeps its bytes, and the run says so and fails.
TEST_F(CommandLineSafetyTest, AFileRenamedOverTheDocumentKeepsItsBytesAndTheRunFails) {
  ZerovaRun run(work_, zerova_, kBasic, "writev", 3);
  ASSERT_TRUE(run.AtGate());
  WriteFile(work_ / "other.txt", "another file\n");
  fs::rename(work_ / "other.txt", document_);
  run.Release();
  EXPECT_EQ(run.Wait(), 1);
  EXPECT_EQ(run.output(), "zerova: " + document_.string() +
                              ": the file was replaced by another one during the conversion; "
                              "nothing was written to that one; the document is incomplete: it "
                              "holds 3 complete lines\n");
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
  ZerovaRun run(work_, zerova_, "big.xls", "pread", 3);
  ASSERT_TRUE(run.AtGate());
  run.Signal(SIGTERM);
  run.Release();
  EXPECT_EQ(run.Wait(), 143);
  EXPECT_EQ(run.output(),
            "zerova: big.xls: the conversion was cancelled before anything was written\n");
  EXPECT_EQ(run.GateReport(), "calls 3");
  EXPECT_EQ(ReadFile(document_), "earlier\r\n");
}

// 20,000 columns of CSV: the first 16,384 become nodes, and a note follows the
// success line; the run still succeeds.
TEST_F(CommandLineSafetyTest, ColumnsPastXfdAreLeftOutWithANoteAfterTheSuccessLine) {
  std::string labels, values;
  std::string expected = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Main>\r\n";
  for (int column = 1; column <= 20000; ++column) {
    const std::string n = std::to_string(column);
    labels += (column > 1 ? "," : "") + ("h" + n);
    values += (column > 1 ? "," : "") + ("v" + n);
    if (column > 16384) continue;
    expected +=
        "<node id=\"n" + n + "\" lbl=\"h" + n + "\">\r\n<value>v" + n + "</value>\r\n</node>\r\n";
  }
  WriteFile(work_ / "wide.csv", labels + "\n" + values + "\n");
  ZerovaRun run(work_, zerova_, "wide.csv");
  EXPECT_EQ(run.Wait(), 0);
  EXPECT_EQ(run.output(), std::string(kOk) +
                              "zerova: wide.csv: the sheet has cells past column 16,384 (XFD); "
                              "they were left out, as Excel leaves them out\n");
  EXPECT_EQ(ReadFile(document_), expected + "</Main>\r\n");
}

}  // namespace
