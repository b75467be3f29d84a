// The command line against what may happen around a run, as a child process: a
// symbolic link at the scratch file's path, planted before the run or between its
// delete and its create; a file renamed over the document between two lines; the
// limits a process runs under (ulimit -f, -n); endless standard input; stop
// signals in each phase, once and twice; its progress and password prompt on a
// terminal. Races are forced at an exact system call with the call gate
// (tests/support/call_gate.c), or wait for the state they need, never for a time.
// And ReadStream alone: a workbook read whole from a pipe, up to its limit; its
// head judged before more is read; and a stop noticed while no byte comes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "cli/stream_input.h"
#include "services/error.h"
#include "support/biff_builder.h"
#include "support/child_process.h"
#include "support/office_book.h"
#include "support/zip_builder.h"

namespace zerova::test {
namespace {

namespace fs = std::filesystem;

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
    EXPECT_EQ(run.Out() + run.err(), kSuccess + BasicNote("xmlstructure.xml"));
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
  const Bytes book = TextGridWorkbook(65535, 4);
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
    const Result r = test::Run(work_, setup);
    EXPECT_EQ(r.status, row.status);
    EXPECT_EQ(r.err, row.err);
  }
  EXPECT_EQ(ReadFile(document_), "earlier\r\n");
  EXPECT_EQ(ReadFile(work_ / "piped.xml"), "");
  EXPECT_TRUE(fs::exists(work_ / "out/small.xml"));
}

// The limit lowered during a run (prlimit) below what the document holds: the
// next line fails in words, not by SIGXFSZ, and the lines written stay.
TEST_F(CommandLineSafetyTest, ALimitLoweredDuringTheRunFailsTheNextLineInWords) {
  ChildProcess run(work_, Zerova({kBasic}, "writev", 3));
  ASSERT_TRUE(run.AtGate());
  const rlimit tiny{10, 10};
  ASSERT_EQ(::prlimit(run.pid(), RLIMIT_FSIZE, &tiny, nullptr), 0);
  run.Release();
  EXPECT_EQ(run.Wait(), 1);
  EXPECT_EQ(run.err(), "zerova: " + document_.string() +
                           ": could not write to the file: File too large (the file-size limit of "
                           "ulimit -f); the document is incomplete: it holds 3 complete lines\n");
}

// Four descriptors in all (ulimit -n 4): the default run finds before the
// earlier document is emptied that it could not open the document beside its
// lock, and says how to raise the limit; a document written whole needs one.
TEST_F(CommandLineSafetyTest, TooFewDescriptorsAreFoundBeforeTheEarlierDocumentIsEmptied) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizers' runtime in zerova needs descriptors of its own";
#endif
  WriteFile(document_, "earlier\r\n");
  ChildSetup setup = Zerova({kBasic});
  setup.limits = {{RLIMIT_NOFILE, 4}};
  const Result line_by_line = test::Run(work_, setup);
  EXPECT_EQ(line_by_line.status, 1);
  EXPECT_TRUE(line_by_line.err.ends_with(
      "Too many open files (raise the limit with ulimit -n); the document was left as it was; "
      "give -o FILE to write the document whole, without the scratch file\n"))
      << line_by_line.err;
  EXPECT_EQ(ReadFile(document_), "earlier\r\n");
  setup.args = {"-q", "--outdir=out", kBasic};
  const Result whole = test::Run(work_, setup);
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

// A workbook piped in is held once: the process grows by the stream's size and
// a fixed margin, however the stream came (here a 64 MB .xlsx, nearly all of it
// a part no sheet uses).
TEST_F(CommandLineSafetyTest, AStreamIsHeldOnceInMemory) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's own memory would be counted";
#endif
  {  // made before the child starts, which counts this process's pages until its exec
    std::string filler(64 << 20, '\0');
    std::uint32_t state = 1;
    for (char& c : filler)
      c = static_cast<char>(1 + ((state = state * 1664525 + 1013904223) >> 24) % 255);
    const std::vector<std::uint8_t> book =
        Zip(With(Xlsx("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>"), "docProps/filler.bin",
                 filler.c_str()));
    WriteFile(work_ / "big.xlsx", std::string(book.begin(), book.end()));
  }
  ChildSetup setup = Zerova({"-q", "-o", "/dev/null", "-"});
  setup.stdin_pipe = true;
  ChildProcess run(work_, setup);
  const std::string book = ReadFile(work_ / "big.xlsx");
  run.Feed(book);
  run.CloseInput();
  EXPECT_EQ(run.Wait(std::chrono::seconds(120)), 0) << run.err();
  EXPECT_LT(run.max_rss_kib(), static_cast<long>(book.size() / 1024) + 24 * 1024);
}

using Args = std::vector<std::string>;
using std::chrono::milliseconds;

// How long a stopped child may take to end before the test calls it stuck.
constexpr milliseconds kEnding(60000);

const std::string kRc4 = kData + "/encrypted-xls-rc4/input.xls";

ChildSetup Command(Args args, bool terminal = false, bool stdin_pipe = false) {
  ChildSetup setup;
  setup.args = std::move(args);
  setup.terminal = terminal;
  setup.stdin_pipe = stdin_pipe;
  return setup;
}

// The one line a conversion stopped while writing prints, for `document`.
std::string Removed(const fs::path& document) {
  return "zerova: " + document.string() +
         ": the conversion was cancelled; the incomplete document was removed";
}

const std::string kStoppedReading =
    "zerova: standard input: the conversion was cancelled before anything was written\n";

class CommandLineSignalsTest : public ::testing::Test {
 protected:
  ~CommandLineSignalsTest() override { fs::remove_all(dir_); }

  // A workbook whose conversion takes seconds: 262,146 lines (`rows` 65,535), a
  // document of 6 MB.
  void WriteLongWorkbook(const fs::path& path, int rows = 65535) {
    const Bytes book = TextGridWorkbook(rows, 4);
    WriteFile(path, std::string(book.begin(), book.end()));
  }

  // Waits a minute at most for `ready`, while `child` runs; true iff it came.
  template <typename Ready>
  static bool Await(const ChildProcess& child, Ready ready) {
    for (int ms = 0; ms < 60000 && !ready() && child.Running(); ++ms) {
      std::this_thread::sleep_for(milliseconds(1));
    }
    return ready();
  }

  // Until `document` holds a line: the run has emptied it and writes.
  static bool AwaitWriting(const ChildProcess& child, const fs::path& document) {
    struct stat status;
    return Await(child,
                 [&] { return ::stat(document.c_str(), &status) == 0 && status.st_size > 0; });
  }

  // Until `child` has its handlers and sleeps: it waits for its standard input,
  // or to write to a full pipe.
  static bool AwaitAsleep(const ChildProcess& child) {
    return Await(child, [&] { return child.CatchesStopSignalsAndWaits(); });
  }

  // The names in `folder`, sorted; none when it is not there.
  static std::vector<std::string> Listing(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code missing;
    for (const auto& entry : fs::directory_iterator(folder, missing)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  const fs::path dir_ = ::mkdtemp(std::string("/tmp/zerova-stop-XXXXXX").data());
};

// Each stop signal, while a workbook is awaited on stdin (the stop noticed though
// no byte comes) or while the document is written: one line, status 128 + N, and
// the earlier document untouched, or the incomplete one removed.
TEST_F(CommandLineSignalsTest, AStopWhileReadingOrWritingKeepsOrRemovesTheDocument) {
  WriteLongWorkbook(dir_ / "long.xls");
  const fs::path document = dir_ / "xmlstructure.xml";
  for (const bool writing : {false, true}) {
    for (const int signal_number : {SIGINT, SIGTERM, SIGHUP}) {
      SCOPED_TRACE(std::to_string(signal_number) + (writing ? " writing" : " reading"));
      writing ? void(fs::remove(document)) : WriteFile(document, "earlier\r\n");
      ChildProcess child(dir_, writing ? Command({"long.xls"}) : Command({"-"}, false, true));
      if (!writing) child.Feed(ReadFile(kBasic).substr(0, 100));
      ASSERT_TRUE(writing ? AwaitWriting(child, document) : AwaitAsleep(child));
      ::kill(child.pid(), signal_number);
      EXPECT_EQ(child.Wait(kEnding), 128 + signal_number);
      EXPECT_FALSE(child.signaled());
      EXPECT_EQ(child.err(), writing ? Removed(document) + "\n" : kStoppedReading);
      EXPECT_EQ(child.Out(), "");
      EXPECT_EQ(fs::exists(document) ? ReadFile(document) : "(none)",
                writing ? "(none)" : "earlier\r\n");
    }
  }
  // A run killed outright (SIGKILL) cannot clean up, but its lock ends with it:
  // the next run in that folder converts.
  ChildProcess killed(dir_, Command({"long.xls"}));
  ASSERT_TRUE(AwaitWriting(killed, document));
  ::kill(killed.pid(), SIGKILL);
  EXPECT_EQ(killed.Wait(kEnding), 128 + SIGKILL);
  ChildProcess next(dir_, Command({kBasic}));
  EXPECT_EQ(next.Wait(kEnding), 0) << next.err();
  EXPECT_EQ(ReadFile(document), ReadFile(kBasicDocument));
}

// Two signals at once, so that the first is not yet acted on: the second ends
// the program by itself (killed by the signal, not an exit), removing the
// document begun, saying that the one sent to standard output is incomplete,
// or, while reading, leaving the earlier one as it was.
TEST_F(CommandLineSignalsTest, ASecondSignalEndsTheProgramAtOnce) {
  WriteLongWorkbook(dir_ / "long.xls");
  {
    ChildProcess writing(dir_, Command({"long.xls"}));
    ASSERT_TRUE(AwaitWriting(writing, dir_ / "xmlstructure.xml"));
    writing.SendTogether({SIGINT, SIGTERM});
    EXPECT_EQ(writing.Wait(kEnding), 128 + SIGTERM);
    EXPECT_TRUE(writing.signaled());
    EXPECT_EQ(writing.err(), Removed(dir_ / "xmlstructure.xml") + "\n");
    EXPECT_FALSE(fs::exists(dir_ / "xmlstructure.xml"));
  }
  {
    // To standard output, a pipe nobody reads: the run waits to write there,
    // where a first signal would never be acted on.
    ASSERT_EQ(::mkfifo((dir_ / "fifo").c_str(), 0600), 0);
    const int unread = ::open((dir_ / "fifo").c_str(), O_RDONLY | O_NONBLOCK);
    ChildSetup setup = Command({"-o", "-", "long.xls"});
    setup.stdout_to = dir_ / "fifo";
    ChildProcess streaming(dir_, setup);
    pollfd written{unread, POLLIN, 0};
    ASSERT_EQ(::poll(&written, 1, 60000), 1);
    ASSERT_TRUE(AwaitAsleep(streaming));  // asleep, now on the full pipe
    streaming.SendTogether({SIGINT, SIGTERM});
    EXPECT_EQ(streaming.Wait(kEnding), 128 + SIGTERM);
    EXPECT_TRUE(streaming.signaled());
    EXPECT_EQ(streaming.err(),
              "zerova: standard output: the conversion was cancelled; the document written "
              "there is incomplete\n");
    ::close(unread);
  }
  WriteFile(dir_ / "xmlstructure.xml", "earlier\r\n");
  ChildProcess reading(dir_, Command({"-"}, false, true));
  ASSERT_TRUE(AwaitAsleep(reading));
  reading.SendTogether({SIGHUP, SIGTERM});
  EXPECT_EQ(reading.Wait(kEnding), 128 + SIGTERM);
  EXPECT_TRUE(reading.signaled());
  EXPECT_EQ(reading.err(), kStoppedReading);
  EXPECT_EQ(ReadFile(dir_ / "xmlstructure.xml"), "earlier\r\n");
}

// A stop during one FILE of a batch (at its document's first block), or
// between two (at the first document's rename), ends the batch: the FILEs after
// it are not converted, the temporary file goes, and the count of what was done
// closes it.
TEST_F(CommandLineSignalsTest, AStopEndsAnOutdirBatch) {
  WriteLongWorkbook(dir_ / "long.xls");
  fs::copy_file(kData + "/basic/input.ods", dir_ / "after.ods");
  const std::string count = "zerova: 1 document written, 0 files failed\n";
  const struct {
    const char* gate_call;
    int signal_number;
    std::string err;
  } rows[] = {
      {"write", SIGTERM,
       "zerova: " + (dir_ / "out/long.xml").string() +
           ": the conversion was cancelled; no document was written\n"},
      {"rename", SIGINT,
       "zerova: long.xls: the conversion was cancelled before anything was written\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.gate_call);
    fs::remove_all(dir_ / "out");
    ChildSetup setup = Command({"--outdir=out", kBasic, "long.xls", "after.ods"});
    setup.gate_call = row.gate_call;
    setup.gate_at = std::string(row.gate_call) == "write" ? 2 : 1;  // the second file's first block
    ChildProcess child(dir_, setup);
    ASSERT_TRUE(child.AtGate());
    ::kill(child.pid(), row.signal_number);
    child.Release();
    EXPECT_EQ(child.Wait(kEnding), 128 + row.signal_number);
    EXPECT_EQ(child.Out(), "out/input.xml: XML created successfully\n");
    EXPECT_EQ(child.err(), BasicNote("out/input.xml") + row.err + count);
    EXPECT_EQ(Listing(dir_ / "out"), std::vector<std::string>{"input.xml"});
  }
}

// -o FILE stopped while it is written: the earlier FILE stays byte for byte,
// and its temporary file goes.
TEST_F(CommandLineSignalsTest, AStopWhileWritingAWholeDocumentKeepsTheEarlierOne) {
  WriteLongWorkbook(dir_ / "long.xls");
  fs::create_directory(dir_ / "out");
  WriteFile(dir_ / "out/doc.xml", "the first run's\r\n");
  ChildSetup setup = Command({"-o", "out/doc.xml", "long.xls"});
  setup.gate_call = "write";
  setup.gate_at = 1;
  ChildProcess child(dir_, setup);
  ASSERT_TRUE(child.AtGate());
  ::kill(child.pid(), SIGINT);
  child.Release();
  EXPECT_EQ(child.Wait(kEnding), 130);
  EXPECT_EQ(child.err(), "zerova: " + (dir_ / "out/doc.xml").string() +
                             ": the conversion was cancelled; the earlier document was left as it "
                             "was\n");
  EXPECT_EQ(Listing(dir_ / "out"), std::vector<std::string>{"doc.xml"});
  EXPECT_EQ(ReadFile(dir_ / "out/doc.xml"), "the first run's\r\n");
}

// Two signals while the document is written, line by line or whole, in every
// rhythm: both while it waits at a line or a block, the first there and the
// second as it goes on, or both as it goes on. Whichever acts, the program
// says how it ended in exactly one line and leaves nothing begun behind: the
// earlier whole document stays, every time.
TEST_F(CommandLineSignalsTest, TwoSignalsInABurstAlwaysSayHowTheRunEnded) {
  WriteLongWorkbook(dir_ / "long.xls", 20000);  // a document of two blocks
  fs::create_directory(dir_ / "out");
  const std::string cancelled = ": the conversion was cancelled; ";
  int stopped = 0;
  for (int trial = 0; trial < 80 && stopped < 50; ++trial) {
    SCOPED_TRACE(trial);
    const bool whole = trial % 2 == 1;
    const fs::path document = whole ? dir_ / "out/doc.xml" : dir_ / "xmlstructure.xml";
    if (whole) WriteFile(document, "earlier\r\n");
    ChildSetup setup = Command(whole ? Args{"-o", "out/doc.xml", "long.xls"} : Args{"long.xls"});
    setup.gate_call = whole ? "write" : "writev";
    setup.gate_at = whole ? 1 : 3;
    ChildProcess child(dir_, setup);
    ASSERT_TRUE(child.AtGate());
    const int first = trial % 3 == 0 ? SIGINT : SIGTERM, rhythm = trial % 3;
    if (rhythm < 2) ::kill(child.pid(), first);
    if (rhythm == 0) ::kill(child.pid(), SIGTERM);
    child.Release();
    if (rhythm == 2) ::kill(child.pid(), first);
    if (rhythm > 0) ::kill(child.pid(), SIGTERM);
    const int status = child.Wait(kEnding);
    EXPECT_LE(Listing(dir_ / "out").size(), 1u);  // doc.xml alone: no temporary file
    // Signals sent after the release may find the run already done: its
    // success line said so, and a second signal may then end it silently.
    if (rhythm == 2 && child.Out() == "XML created successfully\n") continue;
    ++stopped;
    EXPECT_TRUE(status == 128 + first || status == 128 + SIGTERM) << status;
    EXPECT_EQ(child.err(), "zerova: " + document.string() + cancelled +
                               (whole ? "the earlier document was left as it was\n"
                                      : "the incomplete document was removed\n"));
    EXPECT_TRUE(ReadFile(document) == (whole ? "earlier\r\n" : "")) << "a document was left";
  }
  EXPECT_EQ(stopped, 50);
}

// The progress line: none for a short run, on a terminal too; for a long one
// it comes after a second, while writing or still reading, and is blanked
// before anything else is printed.
TEST_F(CommandLineSignalsTest, ProgressShowsOnATerminalAfterASecondAndIsErasedBeforeAnyLine) {
  // The text after the last drawing's blanking ("\r", spaces, "\r").
  const auto after_erasing = [](const std::string& err, const std::string& line) {
    const std::size_t erased = err.rfind('\r', err.rfind(line));
    if (erased == std::string::npos || erased == 0) return std::string("(no erasing)");
    const std::size_t drawn = err.rfind('\r', erased - 1);
    if (err.substr(drawn + 1, erased - drawn - 1).find_first_not_of(' ') != std::string::npos) {
      return std::string("(not blanked)");
    }
    return err.substr(erased + 1);
  };
  std::string note = BasicNote("xmlstructure.xml");  // its line break, as a terminal shows it
  note.insert(note.size() - 1, "\r");
  ChildProcess short_run(dir_, Command({kBasic}, true));
  EXPECT_EQ(short_run.Wait(kEnding), 0);
  EXPECT_EQ(short_run.err(), note);

  WriteLongWorkbook(dir_ / "long.xls");
  ChildProcess writing(dir_, Command({"long.xls"}, true));
  ASSERT_TRUE(writing.WaitFor(" of 262146 lines)", milliseconds(60000))) << writing.err();
  ::kill(writing.pid(), SIGINT);
  EXPECT_EQ(writing.Wait(kEnding), 130);
  EXPECT_TRUE(writing.err().starts_with("\rzerova: ")) << writing.err();
  const std::string removed = Removed(dir_ / "xmlstructure.xml");
  EXPECT_EQ(after_erasing(writing.err(), removed), removed + "\r\n");

  // Reading a pipe byte by byte: the bytes read so far, then the success line
  // on stdout and the note on the blanked terminal.
  const std::string book = ReadFile(kBasic);
  ChildProcess reading(dir_, Command({"-"}, true, true));
  std::size_t fed = 0;  // 20 bytes a second: the line is due after about 20
  while (fed < 400 && !reading.WaitFor("\rzerova: reading (", milliseconds(50))) {
    reading.Feed(book.substr(fed++, 1));
  }
  reading.Feed(book.substr(fed));
  reading.CloseInput();
  EXPECT_EQ(reading.Wait(kEnding), 0);
  EXPECT_LT(fed, 400u) << "no progress while reading";
  EXPECT_TRUE(reading.err().starts_with("\rzerova: reading (")) << reading.err();
  EXPECT_EQ(after_erasing(reading.err(), "zerova: xmlstructure.xml: "), note);
  EXPECT_EQ(reading.Out(), "XML created successfully\n");
}

// A password awaited from a FIFO nobody writes (the file comes before the
// environment, whose password is already wiped from /proc/PID/environ), or at
// the terminal, echo off: a stop signal ends the wait, in one line, echo on.
TEST_F(CommandLineSignalsTest, AStopWhileAPasswordIsAwaitedIsOneLine) {
  ASSERT_EQ(::mkfifo((dir_ / "password.fifo").c_str(), 0600), 0);
  const std::string stopped =
      "zerova: " + kRc4 + ": the conversion was cancelled before anything was written";
  ChildSetup from_fifo = Command({"--password-file=password.fifo", kRc4});
  from_fifo.env = {"ZEROVA_PASSWORD=pässwörd"};
  ChildProcess fifo(dir_, from_fifo);
  ASSERT_TRUE(AwaitAsleep(fifo));
  const std::string environment = fifo.EnvironmentShown();
  EXPECT_NE(environment.find(std::string("ZEROVA_PASSWORD=\0", 17)), std::string::npos);
  EXPECT_EQ(environment.find("pässwörd"), std::string::npos);
  ::kill(fifo.pid(), SIGTERM);
  EXPECT_EQ(fifo.Wait(kEnding), 128 + SIGTERM);
  EXPECT_EQ(fifo.err(), stopped + "\n");
  ChildProcess prompt(dir_, Command({kRc4}, true));
  ASSERT_TRUE(prompt.WaitFor("Password for ", milliseconds(60000)));
  EXPECT_FALSE(prompt.TerminalEchoes());
  ::kill(prompt.pid(), SIGINT);
  EXPECT_EQ(prompt.Wait(kEnding), 130);
  EXPECT_TRUE(prompt.TerminalEchoes());
  EXPECT_TRUE(prompt.err().ends_with(stopped + "\r\n")) << prompt.err();
  EXPECT_FALSE(fs::exists(dir_ / "xmlstructure.xml"));
}

// The terminal asks for the password three times at most, echoing nothing
// typed, and says when one was wrong; three wrong ones are the refusal's line.
TEST_F(CommandLineSignalsTest, TheTerminalAsksThreeTimesWithoutEcho) {
  const std::string prompt = "Password for " + kRc4 + ": ";
  const struct {
    Args typed;
    int status;
  } rows[] = {
      {{"pässwörd"}, 0},
      {{"nope", "qwerty", "pässwörd"}, 0},
      {{"nope", "qwerty", "hunter2"}, 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::PrintToString(row.typed));
    fs::remove(dir_ / "xmlstructure.xml");
    ChildProcess child(dir_, Command({kRc4}, true));
    for (std::size_t i = 0; i < row.typed.size(); ++i) {
      std::string expected;
      for (std::size_t asked = 0; asked <= i; ++asked) {
        expected += (asked > 0 ? "The password is wrong.\r\n" : "") + prompt + "\r\n";
      }
      expected.resize(expected.size() - 2);  // the last prompt is still waiting
      ASSERT_TRUE(child.WaitFor(expected, milliseconds(60000))) << child.err();
      child.Type(row.typed[i] + "\n");
    }
    EXPECT_EQ(child.Wait(kEnding), row.status);
    for (const std::string& typed : row.typed) {
      EXPECT_EQ(child.err().find(typed.substr(0, 4)), std::string::npos) << "echoed: " << typed;
    }
    const std::string refusal =
        "zerova: " + kRc4 + ": the workbook is password-protected and the password is wrong\r\n";
    EXPECT_EQ(child.err().ends_with(refusal), row.status == 1) << child.err();
    EXPECT_EQ(child.Out(), row.status == 0 ? "XML created successfully\n" : "");
    EXPECT_EQ(ReadFile(dir_ / "xmlstructure.xml"),
              row.status == 0 ? ReadFile(kData + "/encrypted-xls-rc4/expected.xml") : "");
  }
}

// A pipe holding `bytes` (at most what a pipe holds unread), its writing end
// closed unless `open`: what `cat FILE |` gives.
struct Pipe {
  explicit Pipe(const std::string& bytes, bool open = false) {
    EXPECT_EQ(::pipe(fds), 0);
    EXPECT_EQ(::fcntl(fds[1], F_SETPIPE_SZ, 1 << 20), 1 << 20);
    EXPECT_EQ(::write(fds[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    if (!open) ::close(fds[1]);
  }
  ~Pipe() { ::close(fds[0]); }
  int Unread() const {
    int count = -1;
    ::ioctl(fds[0], FIONREAD, &count);
    return count;
  }
  int fds[2];
};

void NoReport(std::uint64_t, std::uint64_t) {}
void AnyHead(std::span<const std::uint8_t>) {}

std::string Read(int fd, std::uint64_t limit) {
  const zerova::SpreadsheetInput input = ReadStream(*StreamOnDescriptor(fd, "standard input"),
                                                    "standard input", NoReport, AnyHead, limit);
  return std::string(input.bytes.begin(), input.bytes.end());
}

// At the limit the input is read; one byte past it, refused. The pages read
// into go back with the input: 256 streams leave the process no larger.
TEST(StreamInputTest, TheLimitIsReadAndOneByteMoreIsRefused) {
  for (const std::size_t size : {0, 1, 1000}) {
    const std::string bytes(size, 'x');
    Pipe pipe(bytes);
    EXPECT_EQ(Read(pipe.fds[0], 1000), bytes);
  }
#if !defined(__SANITIZE_ADDRESS__)  // whose allocator holds freed memory back
  long before = 0, after = 0;       // pages of address space (Linux /proc)
  std::ifstream("/proc/self/statm") >> before;
  for (int i = 0; i < 256; ++i) Read(Pipe(std::string(1000, 'y')).fds[0], 1000);
  std::ifstream("/proc/self/statm") >> after;
  EXPECT_LT(after - before, 256);
#endif
  const int folder = ::open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC);  // a failed read says why
  try {
    Read(folder, 1000);
    ADD_FAILURE() << "a folder read";
  } catch (const ReadError& e) {
    EXPECT_STREQ(e.what(), "standard input: cannot read it: Is a directory");
  }
  ::close(folder);
  Pipe over(std::string(1001, 'x'));
  try {
    Read(over.fds[0], 1000);
    FAIL() << "1001 bytes read under a limit of 1000";
  } catch (const ReadError& e) {
    EXPECT_STREQ(e.what(),
                 "standard input: the input is too large to read (over 1000 bytes, as a stream is "
                 "held whole in memory)");
  }
}

// The head is judged once 16 KB are in (or the stream ended before), with
// nothing more read; a head refused ends the reading there.
TEST(StreamInputTest, TheHeadIsJudgedBeforeMoreIsRead) {
  const std::size_t head = zerova::kStreamHeadBytes;
  for (const std::size_t size : {std::size_t{10}, head, head + 1, std::size_t{512 * 1024}}) {
    SCOPED_TRACE(size);
    Pipe pipe(std::string(size, 'z'));
    std::size_t judged = 0;
    int unread_then = -1;
    const auto refuse = [&](std::span<const std::uint8_t> bytes) {
      judged = bytes.size();
      unread_then = pipe.Unread();
      throw ReadError("standard input", "not a spreadsheet");
    };
    EXPECT_THROW(ReadStream(*StreamOnDescriptor(pipe.fds[0], "standard input"), "standard input",
                            NoReport, refuse),
                 ReadError);
    EXPECT_EQ(judged, std::min(size, head));
    EXPECT_EQ(unread_then, static_cast<int>(size - judged));
  }
}

std::atomic<bool> signalled = false;

// A pipe that holds two bytes and stays open: the reader waits for more, and a
// signal (caught with SA_RESTART, as the command line catches them) ends the
// wait, so the report is asked and answers the stop at once.
TEST(StreamInputTest, ASignalEndsTheWaitForInput) {
  Pipe pipe("ab", true);
  struct sigaction action {};
  action.sa_handler = [](int) { signalled = true; };
  action.sa_flags = SA_RESTART;
  struct sigaction before;
  ::sigaction(SIGUSR1, &action, &before);
  std::atomic<std::uint64_t> reported = 0;
  const auto stop_when_signalled = [&reported](std::uint64_t done, std::uint64_t total) {
    EXPECT_EQ(total, 0u);  // a pipe's size is not known ahead
    reported = done;
    if (signalled) throw Cancelled("standard input", "stopped");
  };
  const pthread_t reader = ::pthread_self();
  std::thread signaller([&] {
    while (reported < 2) std::this_thread::yield();
    ::pthread_kill(reader, SIGUSR1);
  });
  EXPECT_THROW(ReadStream(*StreamOnDescriptor(pipe.fds[0], "standard input"), "standard input",
                          stop_when_signalled, AnyHead),
               Cancelled);
  signaller.join();
  ::sigaction(SIGUSR1, &before, nullptr);
  ::close(pipe.fds[1]);
}

}  // namespace
}  // namespace zerova::test
