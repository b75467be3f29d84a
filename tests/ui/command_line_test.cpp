// The command line, run as a user runs it: `zerova FILE` in a working folder.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

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

  // Runs zerova with `args` (already quoted for the shell) in `work`.
  static Result Run(const fs::path& work, const std::string& args) {
    const std::string command = "cd '" + work.string() + "' && '" ZEROVA_BINARY "' " + args +
                                " >out.txt 2>err.txt </dev/null";
    const int raw = std::system(command.c_str());
    Result result{WIFEXITED(raw) ? WEXITSTATUS(raw) : 128, Read(work / "out.txt"),
                  Read(work / "err.txt")};
    fs::remove(work / "out.txt");
    fs::remove(work / "err.txt");
    return result;
  }
  Result Run(const std::string& args) const { return Run(dir_, args); }

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
  // The document itself cannot be created: a folder stands in its way.
  fs::remove(dir_ / "xmlstructure.xml");
  fs::create_directory(dir_ / "xmlstructure.xml");
  const Result r = Run("'" + basic_ + "input.xls'");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("zerova: xmlstructure.xml: could not create the file", 0), 0u) << r.err;
}

TEST_F(CommandLineTest, UsageErrorsExitWithStatus2) {
  for (const char* args : {"a.xls b.xls", "--frobnicate", "--help extra"}) {
    const Result r = Run(args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_EQ(r.out, "") << args;
    EXPECT_NE(r.err.find("usage: zerova"), std::string::npos) << args;
  }
  const Result help = Run("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("usage: zerova"), std::string::npos);
  const Result version = Run("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("zerova ", 0), 0u);
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

}  // namespace
