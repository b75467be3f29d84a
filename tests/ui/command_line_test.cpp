// The command line, run as a user runs it: `zerova FILE` in a working folder,
// with stderr on a file, a pipe or a terminal; interrupted; started from the menu.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include "support/text_grid.h"

namespace {

namespace fs = std::filesystem;

// TextGridWorkbook(rows, columns) at `path`: its document is TextGridDocument(rows, columns).
void WriteGrid(const fs::path& path, int rows, int columns) {
  const zerova::testing::Bytes book = zerova::testing::TextGridWorkbook(rows, columns);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(book.data()), static_cast<std::streamsize>(book.size()));
}

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

struct Result {
  int status;
  std::string out;
  std::string err;
};

class CommandLineTest : public ::testing::Test {
 protected:
  CommandLineTest() {
    char pattern[] = "/tmp/zerova-cli-XXXXXX";
    dir_ = ::mkdtemp(pattern);
  }
  ~CommandLineTest() override { fs::remove_all(dir_); }

  // Runs the program `binary` with `args` (already quoted for the shell) in `work`,
  // with the environment's assignments `env` ("NAME=value ...") before it.
  static Result Run(const fs::path& work, const std::string& args,
                    const fs::path& binary = ZEROVA_BINARY, const std::string& env = "") {
    static std::atomic<int> runs{0};
    const std::string tag = std::to_string(runs++);
    const std::string stem = "/tmp/zerova-cli-" + std::to_string(::getpid()) + "-" + tag;
    const fs::path out = stem + ".out";
    const fs::path err = stem + ".err";
    const std::string command = "cd '" + work.string() + "' && " + env + " '" + binary.string() +
                                "' " + args + " >'" + out.string() + "' 2>'" + err.string() +
                                "' </dev/null";
    const int raw = std::system(command.c_str());
    Result result{WIFEXITED(raw) ? WEXITSTATUS(raw) : 128, Read(out), Read(err)};
    fs::remove(out);
    fs::remove(err);
    return result;
  }
  Result Run(const std::string& args, const std::string& env = "") const {
    return Run(dir_, args, ZEROVA_BINARY, env);
  }

  void PlaceEarlierDocument() const {
    std::ofstream(dir_ / "xmlstructure.xml", std::ios::binary) << "earlier\r\n";
  }

  fs::path dir_;
  const std::string basic_ = std::string(ZEROVA_TEST_DATA) + "/basic/";
};

TEST_F(CommandLineTest, ConvertsAFileAndSaysSoOnStdout) {
  PlaceEarlierDocument();
  const Result r = Run("'" + basic_ + "input.xls'");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "XML created successfully\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(Read(dir_ / "xmlstructure.xml"), Read(basic_ + "expected.xml"));
}

TEST_F(CommandLineTest, FailuresPrintOneLineNamingTheFileAndKeepTheEarlierDocument) {
  PlaceEarlierDocument();
  fs::create_directory(dir_ / "folder");
  std::ofstream(dir_ / "notes.xls") << "just some text, not a workbook\n";
  const struct {
    std::string args, err;
  } rows[] = {
      {"missing.xls", "zerova: missing.xls: no such file\n"},
      {"''", "zerova: no spreadsheet file was chosen\n"},
      {"folder", "zerova: folder: is a folder, not a spreadsheet file\n"},
      {"notes.xls", "zerova: notes.xls: not a spreadsheet file this program reads"},
  };
  for (const auto& row : rows) {
    const Result r = Run(row.args);
    EXPECT_EQ(r.status, 1) << row.args;
    EXPECT_EQ(r.out, "") << row.args;
    EXPECT_EQ(r.err.substr(0, row.err.size()), row.err);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(Read(dir_ / "xmlstructure.xml"), "earlier\r\n") << row.args;
  }
}

TEST_F(CommandLineTest, ASecondConversionIntoTheSameFolderIsRefusedWhileTheFirstWrites) {
  WriteGrid(dir_ / "tall.xls", 20000, 2);
  const fs::path document = dir_ / "xmlstructure.xml";
  Result first;
  std::thread writer([&] { first = Run("tall.xls"); });
  // Once the document holds a line, the first run has its lock and is writing.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!(fs::exists(document) && fs::file_size(document) > 0) &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  const Result second = Run("'" + basic_ + "input.xls'");
  writer.join();

  EXPECT_EQ(second.status, 1);
  EXPECT_EQ(second.out, "");
  EXPECT_EQ(second.err,
            "zerova: " + document.string() + ": another conversion is writing this document\n");
  EXPECT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(Read(document), zerova::testing::TextGridDocument(20000, 2));
}

TEST_F(CommandLineTest, AScratchFileThatCannotBeRenewedKeepsTheEarlierDocumentByteForByte) {
  // A copy of zerova in a folder of its own, so that its scratch file is the test's alone.
  const fs::path bin = dir_ / "bin", work = dir_ / "work", scratch = bin / "xmlstr.xml";
  fs::create_directory(bin);
  fs::create_directory(work);
  fs::copy_file(ZEROVA_BINARY, bin / "zerova");
  std::ofstream(work / "xmlstructure.xml", std::ios::binary) << "earlier\r\n";
  const std::string input = "'" + basic_ + "input.xls'";

  std::ofstream(scratch) << "kept";
  fs::permissions(scratch, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  Result r = Run(work, input, bin / "zerova");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "zerova: " + scratch.string() + ": the file is read-only and cannot be replaced\n");
  EXPECT_EQ(Read(work / "xmlstructure.xml"), "earlier\r\n");
  EXPECT_EQ(Read(scratch), "kept");

  fs::remove(scratch);
  fs::create_directory(scratch);
  r = Run(work, input, bin / "zerova");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "zerova: " + scratch.string() + ": a folder stands where the scratch file belongs\n");
  EXPECT_EQ(Read(work / "xmlstructure.xml"), "earlier\r\n");

  fs::remove(scratch);  // and with the obstacle gone, the conversion goes through
  r = Run(work, input, bin / "zerova");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Read(scratch), "");
}

// A device full from the start, then a small file system that fills up mid-run:
// the message names the file, the cause and the complete lines the document holds.
TEST_F(CommandLineTest, AFullFileSystemLeavesADocumentTheMessageCallsIncomplete) {
  const auto expect_incomplete = [](const Result& r, const fs::path& document,
                                    const std::string& held) {
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "zerova: " + document.string() +
                         ": could not write to the file: No space left on device;"
                         " the document is incomplete: it holds " +
                         held + "\n");
  };
  fs::create_symlink("/dev/full", dir_ / "xmlstructure.xml");
  expect_incomplete(Run("'" + basic_ + "input.xls'"), dir_ / "xmlstructure.xml",
                    "no complete line");

  const fs::path small = dir_ / "small";
  fs::create_directory(small);
  if (::geteuid() != 0 || ::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=16k") != 0) {
    GTEST_SKIP() << "mounting a small tmpfs needs root";
  }
  struct Unmount {
    const fs::path& folder;
    ~Unmount() { ::umount(folder.c_str()); }
  } unmount{small};
  WriteGrid(dir_ / "tall.xls", 2000, 2);  // about 90 KB of document
  const Result r = Run(small, "'" + (dir_ / "tall.xls").string() + "'");
  const std::string written = Read(small / "xmlstructure.xml");
  const auto lines = std::count(written.begin(), written.end(), '\n');
  expect_incomplete(r, small / "xmlstructure.xml", std::to_string(lines) + " complete lines");
  EXPECT_GT(written.size(), 8000u);  // stopped by the full disk
}

TEST_F(CommandLineTest, NamesWithLineBreaksAndStrayBytesGiveOneLineOfUtf8) {
  const Result missing = Run("'bad\nname\xFF.xls'");
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "zerova: bad\\nname\\xFF.xls: no such file\n");

  const fs::path odd = dir_ / "odd\nfolder\xFF";
  fs::create_directories(odd / "xmlstructure.xml");  // a folder where the document goes
  const Result blocked = Run(odd, "'" + basic_ + "input.xls'");
  EXPECT_EQ(blocked.status, 1);
  EXPECT_EQ(blocked.err, "zerova: " + dir_.string() +
                             "/odd\\nfolder\\xFF/xmlstructure.xml: could not open the file for"
                             " writing: Is a directory\n");
}

// The RC4 fixture's password is "pässwörd"; the default one needs none.
TEST_F(CommandLineTest, PasswordsComeFromAFileOrTheEnvironmentNeverFromTheCommandLine) {
  const std::string data = ZEROVA_TEST_DATA;
  const std::string rc4 = "'" + data + "/encrypted-xls-rc4/input.xls'";
  const std::string right = "'" + data + "/encrypted-xls-rc4/password.txt'";
  std::ofstream(dir_ / "wrong.txt") << "pässwörd \n";
  const std::string refused =
      "zerova: " + data + "/encrypted-xls-rc4/input.xls: the workbook is password-protected and ";
  const std::string needs = refused + "needs a password\n",
                    wrong = refused + "the password is wrong\n";
  const struct {
    std::string args, env, err;
  } rows[] = {
      {rc4, "", needs},
      {"--password-file " + right + " " + rc4, "", ""},
      {"--password-file=wrong.txt " + rc4, "", wrong},
      {rc4, "ZEROVA_PASSWORD='pässwörd'", ""},
      {rc4, "ZEROVA_PASSWORD=pass", wrong},
      {"--password-file wrong.txt " + rc4, "ZEROVA_PASSWORD='pässwörd'",
       wrong},  // the file comes first
      {"--password-file missing.txt " + rc4, "",
       "zerova: missing.txt: could not read the password file: No such file or directory\n"},
      {"'" + data + "/encrypted-xlsx-agile-default/input.xlsx'", "", ""},
  };
  for (const auto& row : rows) {
    PlaceEarlierDocument();
    const Result r = Run(row.args, row.env);
    const bool ok = row.err.empty();
    EXPECT_EQ(r.status, ok ? 0 : 1) << row.args << " " << row.env;
    EXPECT_EQ(r.err, row.err) << row.args << " " << row.env;
    EXPECT_EQ(Read(dir_ / "xmlstructure.xml"),
              ok ? Read(data + "/basic/expected.xml") : "earlier\r\n")
        << row.args;
  }
}

// Usage errors say what is wrong, then how to use it, on stderr with status 2.
TEST_F(CommandLineTest, UsageErrorsExitWithStatus2AndHelpWithStatus0) {
  const struct {
    const char* args;
    int status;
    std::string out, err;  // how each starts; "": empty
  } rows[] = {
      {"a.xls b.xls", 2, "", "usage: zerova"},
      {"--frobnicate", 2, "", "zerova: unknown option '--frobnicate'\nusage: zerova"},
      {"--help extra", 2, "", "zerova: unknown option '--help'\nusage: zerova"},
      {"x.xls --password-file", 2, "", "zerova: --password-file needs a file name\nusage: zerova"},
      {"--help", 0, "usage: zerova", ""},
      {"--version", 0, "zerova ", ""},
  };
  const auto opens = [](const std::string& text, const std::string& start) {
    return start.empty() ? text.empty() : text.rfind(start, 0) == 0;
  };
  for (const auto& row : rows) {
    const Result r = Run(row.args);
    EXPECT_EQ(r.status, row.status) << row.args;
    EXPECT_TRUE(opens(r.out, row.out)) << row.args << ": " << r.out;
    EXPECT_TRUE(opens(r.err, row.err)) << row.args << ": " << r.err;
  }
}

TEST_F(CommandLineTest, EightConversionsInParallelFromOneProgramFolderAllSucceed) {
  std::vector<Result> results(8);
  std::vector<std::thread> threads;
  for (int i = 0; i < 8; ++i) {
    fs::create_directory(dir_ / std::to_string(i));
    threads.emplace_back(
        [&, i] { results[i] = Run(dir_ / std::to_string(i), "'" + basic_ + "input.xls'"); });
  }
  for (auto& t : threads) t.join();
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(results[i].status, 0) << i << ": " << results[i].err;
    EXPECT_EQ(Read(dir_ / std::to_string(i) / "xmlstructure.xml"), Read(basic_ + "expected.xml"));
  }
}

// zerova started in `work` on `file` with no password given, stdout to out.txt
// and stderr on a pseudo-terminal (`terminal`) or a pipe; stdin from /dev/null,
// or from the terminal too (`typed`).
class Child {
 public:
  Child(const fs::path& work, const std::string& file, bool terminal, bool typed = false) {
    std::string tty_name;
    int fds[2] = {-1, -1};
    if (terminal) {
      reader_ = ::posix_openpt(O_RDWR | O_NOCTTY);
      if (reader_ < 0 || ::grantpt(reader_) != 0 || ::unlockpt(reader_) != 0) return;
      tty_name = ::ptsname(reader_);
    } else {
      if (::pipe(fds) != 0) return;
      reader_ = fds[0];
    }
    const std::string dir = work.string(), out = (work / "out.txt").string();
    pid_ = ::fork();
    if (pid_ == 0) {
      ::setsid();  // the terminal becomes the controlling one
      ::unsetenv("ZEROVA_PASSWORD");
      const int err = terminal ? ::open(tty_name.c_str(), O_RDWR) : fds[1];
      ::dup2(typed ? err : ::open("/dev/null", O_RDONLY), 0);
      ::dup2(::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
      ::dup2(err, 2);
      if (::chdir(dir.c_str()) == 0) ::execl(ZEROVA_BINARY, "zerova", file.c_str(), nullptr);
      ::_exit(127);
    }
    if (!terminal) ::close(fds[1]);
  }
  ~Child() {
    if (pid_ > 0 && status_ < 0) {
      ::kill(pid_, SIGKILL);
      Wait();
    }
    if (reader_ >= 0) ::close(reader_);
  }

  // Reads stderr until it holds `text`, the child ends, or `seconds` pass.
  bool WaitFor(const std::string& text, int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (err.find(text) == std::string::npos && std::chrono::steady_clock::now() < deadline) {
      if (!ReadSome(100)) break;
    }
    return err.find(text) != std::string::npos;
  }
  void Signal(int signal_number) { ::kill(pid_, signal_number); }
  void Type(const std::string& text) {
    ASSERT_EQ(::write(reader_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  }
  // Reads stderr to its end and returns the exit status (128 + N after signal N).
  int Wait() {
    while (ReadSome(1000)) {
    }
    int raw = 0;
    ::waitpid(pid_, &raw, 0);
    status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    return status_;
  }

  std::string err;

 private:
  // False once stderr has ended (a terminal whose last user closed it says EIO).
  bool ReadSome(int timeout_ms) {
    pollfd p{reader_, POLLIN, 0};
    if (::poll(&p, 1, timeout_ms) <= 0) return ::waitpid(pid_, nullptr, WNOHANG) == 0;
    char buffer[4096];
    const ssize_t n = ::read(reader_, buffer, sizeof buffer);
    if (n <= 0) return false;
    err.append(buffer, static_cast<std::size_t>(n));
    return true;
  }

  pid_t pid_ = -1;
  int reader_ = -1;
  int status_ = -1;
};

// The one line a stopped conversion prints, for the document in `folder`.
std::string Cancelled(const fs::path& folder) {
  return "zerova: " + (folder / "xmlstructure.xml").string() +
         ": the conversion was cancelled; the incomplete document was removed";
}

TEST_F(CommandLineTest, ProgressShowsOnATerminalOnlyAfterASecond) {
  {  // A short conversion draws nothing, on a terminal too.
    Child child(dir_, basic_ + "input.xls", true);
    EXPECT_EQ(child.Wait(), 0);
    EXPECT_EQ(child.err, "");
  }
  // A long one draws its line, and erases it before the interrupt's one line.
  WriteGrid(dir_ / "long.xls", 65535, 4);  // 262,146 lines: long enough to watch
  Child child(dir_, "long.xls", true);
  ASSERT_TRUE(child.WaitFor(" lines)", 60)) << child.err;
  EXPECT_TRUE(fs::exists(dir_ / "xmlstructure.xml"));
  child.Signal(SIGINT);
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
  WriteGrid(dir_ / "long.xls", 65535, 4);  // 262,146 lines: long enough to watch
  Child child(dir_, "long.xls", false);
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  child.Signal(SIGTERM);
  EXPECT_EQ(child.Wait(), 143);
  // Stopped while writing (the usual case) or, on a slow machine, still reading.
  EXPECT_TRUE(child.err == Cancelled(dir_) + "\n" ||
              child.err ==
                  "zerova: long.xls: the conversion was cancelled before anything was written\n")
      << child.err;
  EXPECT_EQ(Read(dir_ / "out.txt"), "");
  EXPECT_FALSE(fs::exists(dir_ / "xmlstructure.xml"));
}

// On a terminal with no password given, zerova asks there without echo, and
// again after a wrong password.
TEST_F(CommandLineTest, AsksOnTheTerminalWithoutEcho) {
  const std::string input = ZEROVA_TEST_DATA "/encrypted-xls-rc4/input.xls";
  Child child(dir_, input, true, true);
  ASSERT_TRUE(child.WaitFor("Password for " + input + ": ", 10)) << child.err;
  child.Type("secret\n");
  ASSERT_TRUE(child.WaitFor("The password is wrong.\r\nPassword for " + input + ": ", 10))
      << child.err;
  child.Type("pässwörd\n");
  EXPECT_EQ(child.Wait(), 0) << child.err;
  EXPECT_EQ(child.err.find("secret"), std::string::npos) << child.err;
  EXPECT_EQ(child.err.find("pässwörd"), std::string::npos) << child.err;
  EXPECT_EQ(Read(dir_ / "out.txt"), "XML created successfully\n");
  EXPECT_EQ(Read(dir_ / "xmlstructure.xml"), Read(basic_ + "expected.xml"));
}

// The menu starts `zerova --from-menu`: the window then works in the current
// folder when the user may write there, else in their home folder. Seen in the
// window program's working folder, on Qt's offscreen platform.
TEST_F(CommandLineTest, FromTheMenuTheWindowWorksWhereTheUserMayWrite) {
  const fs::path window = fs::path(ZEROVA_BINARY).parent_path() / "zerova-window";
  if (!fs::exists(window)) GTEST_SKIP() << "the window is not built";
  // Root may write anywhere; in a user namespace of its own it is nobody.
  const bool root = ::geteuid() == 0;
  if (root && std::system("unshare -U true 2>/dev/null") != 0)
    GTEST_SKIP() << "running as root, and no user namespace to drop that in";
  fs::permissions(dir_, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
  for (const char* name : {"home", "open", "locked"}) fs::create_directory(dir_ / name);
  fs::permissions(dir_ / "open", fs::perms::all);
  fs::permissions(dir_ / "locked", fs::perms::owner_read | fs::perms::owner_exec |
                                       fs::perms::group_exec | fs::perms::others_exec);
  for (const auto& [from, works_in] : {std::pair{"open", "open"}, {"locked", "home"}}) {
    const std::string start = (dir_ / from).string(), home = (dir_ / "home").string();
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::setenv("HOME", home.c_str(), 1);
      ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
      ::dup2(::open("/dev/null", O_WRONLY), 2);  // Qt's notes on a bare user
      if (::chdir(start.c_str()) != 0) ::_exit(127);
      if (root) {
        ::execlp("unshare", "unshare", "-U", ZEROVA_BINARY, "--from-menu", nullptr);
      } else {
        ::execl(ZEROVA_BINARY, "zerova", "--from-menu", nullptr);
      }
      ::_exit(127);
    }
    const std::string proc = "/proc/" + std::to_string(pid);
    std::error_code error;
    for (int i = 0; i < 200 && fs::read_symlink(proc + "/exe", error) != window; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(fs::read_symlink(proc + "/exe", error), window) << from;
    EXPECT_EQ(fs::read_symlink(proc + "/cwd", error), dir_ / works_in) << from;
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
  }
}

}  // namespace
