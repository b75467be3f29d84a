// The command line, run as a user runs it: `zerova FILE` in a working folder,
// with stderr on a pipe or a terminal; interrupted; two at once.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "support/text_grid.h"

namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

// TextGridWorkbook(rows, columns) at `path`: its document is TextGridDocument(rows, columns).
void WriteGrid(const fs::path& path, int rows, int columns) {
  const zerova::test::Bytes book = zerova::test::TextGridWorkbook(rows, columns);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(book.data()), static_cast<std::streamsize>(book.size()));
}

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// `binary ARGS...` started in `work` with the assignments `env` ("NAME=value")
// added to the environment and ZEROVA_PASSWORD taken out. Stdout goes to a file of
// its own in `work`; stderr to a pipe, or with `terminal` stdin and stderr to a
// pseudo-terminal that becomes the controlling one.
struct Child {
  Child(const fs::path& work, Args args, bool terminal = false, Args env = {},
        const fs::path& binary = ZEROVA_BINARY)
      : out(work / ("out" + std::to_string(runs++) + ".txt")) {
    std::string tty_name;
    int fds[2] = {-1, -1};
    if (terminal && (reader = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC)) >= 0 &&
        ::grantpt(reader) == 0 && ::unlockpt(reader) == 0) {
      tty_name = ::ptsname(reader);
    } else if (!terminal && ::pipe2(fds, O_CLOEXEC) == 0) {
      reader = fds[0];
    }
    std::vector<char*> argv{const_cast<char*>("zerova")};
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    if ((pid = ::fork()) == 0) {
      ::setsid();
      ::unsetenv("ZEROVA_PASSWORD");
      for (std::string& assignment : env) ::putenv(assignment.data());
      const int err = terminal ? ::open(tty_name.c_str(), O_RDWR) : fds[1];
      ::dup2(terminal ? err : ::open("/dev/null", O_RDONLY), 0);
      ::dup2(::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
      ::dup2(err, 2);
      if (::chdir(work.c_str()) == 0) ::execv(binary.c_str(), argv.data());
      ::_exit(127);
    }
    ::close(fds[1]);  // the pipe's end the child writes
  }
  ~Child() {
    if (pid > 0 && status < 0) ::kill(pid, SIGKILL), Wait();
    ::close(reader);
  }

  // Reads stderr until it holds `text` or ends (a terminal whose last user closed
  // it says EIO), or `seconds` pass; true if it holds `text`.
  bool WaitFor(const std::string& text, int seconds = 600) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (err.find(text) == std::string::npos && std::chrono::steady_clock::now() < deadline) {
      pollfd p{reader, POLLIN, 0};
      siginfo_t exited{};  // a child still running leaves si_pid 0
      if (::poll(&p, 1, 100) <= 0) {
        if (::waitid(P_PID, pid, &exited, WEXITED | WNOHANG | WNOWAIT) != 0 || exited.si_pid != 0)
          break;
        continue;
      }
      char buffer[4096];
      const ssize_t n = ::read(reader, buffer, sizeof buffer);
      if (n <= 0) break;
      err.append(buffer, static_cast<std::size_t>(n));
    }
    return err.find(text) != std::string::npos;
  }
  // Reads stderr to its end and returns the exit status (128 + N after signal N).
  int Wait() {
    WaitFor("\x01 never written");
    int raw = 0;
    ::waitpid(pid, &raw, 0);
    return status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  }

  static inline std::atomic<int> runs = 0;
  fs::path out;
  std::string err;
  pid_t pid = -1;
  int reader = -1, status = -1;
};

struct Result {
  int status = -1;
  std::string out, err;
};

Result RunIn(const fs::path& work, Args args, Args env = {},
             const fs::path& binary = ZEROVA_BINARY) {
  Child child(work, std::move(args), false, std::move(env), binary);
  return {child.Wait(), Read(child.out), child.err};  // in this order
}

// The one line a stopped conversion prints, for the document in `folder`.
std::string Cancelled(const fs::path& folder) {
  return "zerova: " + (folder / "xmlstructure.xml").string() +
         ": the conversion was cancelled; the incomplete document was removed";
}

const std::string kData = ZEROVA_TEST_DATA, kBasic = kData + "/basic/input.xls",
                  kRc4 = kData + "/encrypted-xls-rc4/input.xls";

class CommandLineTest : public ::testing::Test {
 protected:
  ~CommandLineTest() override { fs::remove_all(dir_); }

  const fs::path dir_ = ::mkdtemp(std::string("/tmp/zerova-cli-XXXXXX").data());
};

// What each command line prints, its status, and the document it leaves: the
// expected basic one after a conversion, else the earlier one untouched. An
// expected text ending in a line break is the whole text, else how it starts;
// errors other than usage errors are one line. The RC4 workbook's password is
// "pässwörd"; a password file comes before the environment.
TEST_F(CommandLineTest, EachCommandLineGivesItsMessageStatusAndDocument) {
  std::ofstream(dir_ / "notes.xls") << "just some text, not a workbook\n";
  std::ofstream(dir_ / "wrong.txt") << "pässwörd \n";
  const std::string ok = "XML created successfully\n", right = "ZEROVA_PASSWORD=pässwörd";
  const std::string refused = "zerova: " + kRc4 + ": the workbook is password-protected and ";
  const struct {
    Args args, env;
    int status;
    std::string out, err;
  } rows[] = {
      {{kBasic}, {}, 0, ok, ""},
      {{"notes.xls"}, {}, 1, "", "zerova: notes.xls: not a spreadsheet file this program reads"},
      // A name's line breaks and stray bytes, written so that the message is one UTF-8 line.
      {{"bad\nname\xFF.xls"}, {}, 1, "", "zerova: bad\\nname\\xFF.xls: no such file\n"},
      {{kRc4},
       {},
       1,
       "",
       refused + "needs a password; give it with --password-file PWFILE or in the environment "
                 "variable ZEROVA_PASSWORD\n"},
      {{"--password-file", kData + "/encrypted-xls-rc4/password.txt", kRc4}, {}, 0, ok, ""},
      {{kRc4}, {right}, 0, ok, ""},
      {{"--password-file=wrong.txt", kRc4}, {right}, 1, "", refused + "the password is wrong\n"},
      {{"--frobnicate"}, {}, 2, "", "zerova: unknown option '--frobnicate'\nusage: zerova"},
      {{"--help"}, {}, 0, "usage: zerova", ""},
  };
  const auto matches = [](const std::string& text, const std::string& expected) {
    return expected.ends_with('\n') || expected.empty() ? text == expected
                                                        : text.starts_with(expected);
  };
  for (const auto& row : rows) {
    std::ofstream(dir_ / "xmlstructure.xml", std::ios::binary) << "earlier\r\n";
    const Result r = RunIn(dir_, row.args, row.env);
    SCOPED_TRACE(::testing::PrintToString(row.args) + " " + ::testing::PrintToString(row.env));
    EXPECT_EQ(r.status, row.status);
    EXPECT_TRUE(matches(r.out, row.out)) << r.out;
    EXPECT_TRUE(matches(r.err, row.err)) << r.err;
    EXPECT_TRUE(row.status != 1 || std::count(r.err.begin(), r.err.end(), '\n') == 1) << r.err;
    EXPECT_EQ(Read(dir_ / "xmlstructure.xml"),
              row.out == ok ? Read(kData + "/basic/expected.xml") : std::string("earlier\r\n"));
  }
}

TEST_F(CommandLineTest, ASecondConversionIntoTheSameFolderIsRefusedWhileTheFirstWrites) {
  WriteGrid(dir_ / "tall.xls", 20000, 2);
  const fs::path document = dir_ / "xmlstructure.xml";
  Result first;
  std::thread writer([&] { first = RunIn(dir_, {"tall.xls"}); });
  // Once the document holds a line, the first run has its lock and is writing.
  for (int ms = 0; ms < 60000 && !(fs::exists(document) && fs::file_size(document) > 0); ++ms)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  const Result second = RunIn(dir_, {kBasic});
  writer.join();
  EXPECT_EQ(second.status, 1);
  EXPECT_EQ(second.out, "");
  EXPECT_EQ(second.err,
            "zerova: " + document.string() + ": another conversion is writing this document\n");
  EXPECT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(Read(document), zerova::test::TextGridDocument(20000, 2));
}

TEST_F(CommandLineTest, EightConversionsInParallelFromOneProgramFolderAllSucceed) {
  std::vector<Result> results(8);
  std::vector<std::thread> threads;
  for (int i = 0; i < 8; ++i) {
    fs::create_directory(dir_ / std::to_string(i));
    threads.emplace_back([&, i] { results[i] = RunIn(dir_ / std::to_string(i), {kBasic}); });
  }
  for (auto& t : threads) t.join();
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(results[i].status, 0) << i << ": " << results[i].err;
    EXPECT_EQ(Read(dir_ / std::to_string(i) / "xmlstructure.xml"),
              Read(kData + "/basic/expected.xml"));
  }
}

// A read-only scratch file, then a folder in its place: the earlier document stays.
TEST_F(CommandLineTest, AScratchFileThatCannotBeRenewedKeepsTheEarlierDocumentByteForByte) {
  // A copy of zerova in a folder of its own, so that its scratch file is the test's alone.
  const fs::path bin = dir_ / "bin", work = dir_ / "work", scratch = bin / "xmlstr.xml";
  fs::create_directory(bin);
  fs::create_directory(work);
  fs::copy_file(ZEROVA_BINARY, bin / "zerova");
  std::ofstream(work / "xmlstructure.xml", std::ios::binary) << "earlier\r\n";
  std::ofstream(scratch) << "kept";
  fs::permissions(scratch, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  for (const std::string why : {"the file is read-only and cannot be replaced",
                                "a folder stands where the scratch file belongs"}) {
    const Result r = RunIn(work, {kBasic}, {}, bin / "zerova");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "zerova: " + scratch.string() + ": " + why + "\n");
    EXPECT_EQ(Read(work / "xmlstructure.xml"), "earlier\r\n");
    EXPECT_TRUE(!fs::is_regular_file(scratch) || Read(scratch) == "kept");
    fs::remove(scratch);
    fs::create_directory(scratch);
  }
}

// A symbolic link in the document's place is never followed: the file it leads
// to keeps its bytes, and the run says why in one line.
TEST_F(CommandLineTest, ASymbolicLinkInTheDocumentsPlaceIsRefusedAndItsTargetKept) {
  const fs::path target = dir_ / "precious.txt";
  std::ofstream(target) << "precious\n";
  fs::create_symlink(target, dir_ / "xmlstructure.xml");
  const Result r = RunIn(dir_, {kBasic});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "zerova: " + (dir_ / "xmlstructure.xml").string() +
                       ": a symbolic link stands in the file's place; it is not followed\n");
  EXPECT_EQ(Read(target), "precious\n");
}

// A short conversion draws nothing, on a terminal too; a long one draws its
// line after a second, and erases it before the interrupt's one line.
TEST_F(CommandLineTest, ProgressShowsOnATerminalOnlyAfterASecond) {
  Child short_run(dir_, {kBasic}, true);
  EXPECT_EQ(short_run.Wait(), 0);
  EXPECT_EQ(short_run.err, "");
  WriteGrid(dir_ / "long.xls", 65535, 4);  // 262,146 lines: long enough to watch
  Child child(dir_, {"long.xls"}, true);
  ASSERT_TRUE(child.WaitFor(" lines)", 60)) << child.err;
  EXPECT_TRUE(fs::exists(dir_ / "xmlstructure.xml"));
  ::kill(child.pid, SIGINT);
  EXPECT_EQ(child.Wait(), 130);
  EXPECT_EQ(child.err.rfind("\rzerova: ", 0), 0u) << child.err;
  EXPECT_NE(child.err.find(" of 262146 lines)"), std::string::npos) << child.err;
  const std::size_t erased = child.err.rfind('\r', child.err.rfind(Cancelled(dir_)));
  ASSERT_NE(erased, std::string::npos);
  const std::size_t drawn = child.err.rfind('\r', erased - 1);
  EXPECT_EQ(child.err.substr(drawn + 1, erased - drawn - 1).find_first_not_of(' '),
            std::string::npos)
      << "the progress line is not blanked: " << child.err;
  EXPECT_EQ(child.err.substr(erased + 1), Cancelled(dir_) + "\r\n");
  EXPECT_FALSE(fs::exists(dir_ / "xmlstructure.xml"));
}

TEST_F(CommandLineTest, OnAPipeATermStopsWithOneLineAndNoProgress) {
  // 1,048,578 lines, several seconds of per-line writing: far from done at the term.
  WriteGrid(dir_ / "long.xls", 65535, 16);
  Child child(dir_, {"long.xls"});
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  ::kill(child.pid, SIGTERM);
  EXPECT_EQ(child.Wait(), 143);
  // Stopped while writing (the usual case) or, on a slow machine, still reading.
  EXPECT_TRUE(child.err == Cancelled(dir_) + "\n" ||
              child.err ==
                  "zerova: long.xls: the conversion was cancelled before anything was written\n")
      << child.err;
  EXPECT_EQ(Read(child.out), "");
  EXPECT_FALSE(fs::exists(dir_ / "xmlstructure.xml"));
}

}  // namespace
