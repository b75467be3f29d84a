// The command line, run as a user runs it: `zerova [OPTION]... FILE...` in a
// working folder, checked by what it prints, its exit status and the files it
// leaves. Stops, progress and the password prompt: command_line_signals_test.cpp.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <sstream>
#include <thread>
#include <vector>

#include "formats/registry.h"
#include "support/child_process.h"
#include "support/text_grid.h"
#include "zerova_version.h"  // ZEROVA_VERSION_TEXT

namespace {

namespace fs = std::filesystem;
using zerova::test::ChildProcess;
using zerova::test::ChildSetup;
using zerova::test::ReadFile;
using zerova::test::WriteFile;
using Args = std::vector<std::string>;

struct Result {
  int status = -1;
  std::string out, err;
};

// Runs `binary` with `args` in `work`, with `env` added to its environment;
// `input`, when not empty, comes on stdin through a pipe; stdout goes to
// `stdout_to` when it is given.
Result RunIn(const fs::path& work, Args args, Args env = {}, const std::string& input = "",
             const fs::path& binary = ZEROVA_BINARY, const fs::path& stdout_to = {}) {
  ChildSetup setup;
  setup.args = std::move(args);
  setup.env = std::move(env);
  setup.binary = binary;
  setup.stdin_pipe = !input.empty();
  setup.stdout_to = stdout_to;
  ChildProcess child(work, std::move(setup));
  std::thread feeder([&] {
    if (input.empty()) return;
    child.Feed(input);
    child.CloseInput();
  });
  const int status = child.Wait();
  feeder.join();
  return {status, child.Out(), child.err()};
}

const std::string kData = ZEROVA_TEST_DATA, kBasic = kData + "/basic/input.xls",
                  kRc4 = kData + "/encrypted-xls-rc4/input.xls",
                  kSheets = kData + "/several-sheets/";
const std::string kSuccess = "XML created successfully\n";

// The expected document of sheet `n` of the several-sheets workbook; the
// active one, sheet 2, is the folder's expected.xml.
std::string SheetDocument(int n) {
  return kSheets + (n == 2 ? "expected.xml" : "expected-sheet" + std::to_string(n) + ".xml");
}

class CommandLineTest : public ::testing::Test {
 protected:
  ~CommandLineTest() override { fs::remove_all(dir_); }

  // An earlier document in the working folder, to see whether a run touched it.
  void PutEarlierDocument() { WriteFile(dir_ / "xmlstructure.xml", "earlier\r\n"); }

  const fs::path dir_ = ::mkdtemp(std::string("/tmp/zerova-cli-XXXXXX").data());
};

// What each command line prints, its status, and the document it leaves: the
// expected basic one after a conversion, else the earlier one untouched. An
// expected text ending in a line break is the whole text, else how it starts;
// errors are one line. The RC4 workbook's password is "pässwörd"; a password
// file comes before the environment.
TEST_F(CommandLineTest, EachCommandLineGivesItsMessageStatusAndDocument) {
  WriteFile(dir_ / "notes.xls", "just some text, not a workbook\n");
  WriteFile(dir_ / "wrong.txt", "pässwörd \n");
  const std::string right = "ZEROVA_PASSWORD=pässwörd";
  const std::string refused = "zerova: " + kRc4 + ": the workbook is password-protected and ";
  const struct {
    Args args, env;
    int status;
    std::string out, err;
  } rows[] = {
      {{kBasic}, {}, 0, kSuccess, ""},
      {{"notes.xls"}, {}, 1, "", "zerova: notes.xls: not a spreadsheet file this program reads"},
      // A name's line breaks and stray bytes, written so that the message is one UTF-8 line.
      {{"bad\nname\xFF.xls"}, {}, 1, "", "zerova: bad\\nname\\xFF.xls: no such file\n"},
      {{kRc4},
       {},
       1,
       "",
       refused + "needs a password; give it with --password-file PWFILE or in the environment "
                 "variable ZEROVA_PASSWORD\n"},
      {{"--password-file", kData + "/encrypted-xls-rc4/password.txt", kRc4}, {}, 0, kSuccess, ""},
      {{kRc4}, {right}, 0, kSuccess, ""},
      {{"--password-file=wrong.txt", kRc4}, {right}, 1, "", refused + "the password is wrong\n"},
      {{"--password-file=missing.txt", kRc4}, {right}, 1, "", "zerova: missing.txt: could not "},
  };
  const auto matches = [](const std::string& text, const std::string& expected) {
    return expected.ends_with('\n') || expected.empty() ? text == expected
                                                        : text.starts_with(expected);
  };
  for (const auto& row : rows) {
    PutEarlierDocument();
    const Result r = RunIn(dir_, row.args, row.env);
    SCOPED_TRACE(::testing::PrintToString(row.args) + " " + ::testing::PrintToString(row.env));
    EXPECT_EQ(r.status, row.status);
    EXPECT_TRUE(matches(r.out, row.out)) << r.out;
    EXPECT_TRUE(matches(r.err, row.err)) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), row.status == 0 ? 0 : 1) << r.err;
    EXPECT_EQ(ReadFile(dir_ / "xmlstructure.xml"),
              row.status == 0 ? ReadFile(kData + "/basic/expected.xml") : "earlier\r\n");
  }
}

// The document goes where it is asked to, with the same bytes: the default
// file, -o FILE, standard output; the workbook comes from a file or from
// standard input; "--" makes "-o" a FILE. Nothing else is written.
TEST_F(CommandLineTest, EveryWayInAndOutGivesTheSameDocument) {
  const std::string expected = ReadFile(kData + "/basic/expected.xml");
  const std::string book = ReadFile(kBasic);
  fs::create_directory(dir_ / "sub");
  fs::copy_file(kBasic, dir_ / "-o");
  const struct {
    Args args;
    bool from_stdin;
    std::string document;  // "" standard output
    std::string out;
  } rows[] = {
      {{kBasic}, false, "xmlstructure.xml", kSuccess},
      {{"-o", "sub/out.xml", kBasic}, false, "sub/out.xml", kSuccess},
      {{kBasic, "--output=out.xml"}, false, "out.xml", kSuccess},
      {{"-q", "--outp", (dir_ / "abs.xml").string(), kBasic}, false, "abs.xml", ""},
      {{"-o", "-", kBasic}, false, "", expected},
      {{"-"}, true, "xmlstructure.xml", kSuccess},
      {{"-qo-", "-"}, true, "", expected},
      {{"--", "-o"}, false, "xmlstructure.xml", kSuccess},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::PrintToString(row.args));
    const Result r = RunIn(dir_, row.args, {}, row.from_stdin ? book : "");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, row.out);
    if (!row.document.empty()) {
      EXPECT_EQ(ReadFile(dir_ / row.document), expected);
    }
    std::vector<fs::path> documents;
    for (const auto& entry : fs::recursive_directory_iterator(dir_)) {
      if (entry.path().extension() == ".xml") documents.push_back(entry.path());
    }
    EXPECT_EQ(documents.size(), row.document.empty() ? 0u : 1u);
    for (const fs::path& document : documents) fs::remove(document);
  }
}

// Failures that name standard input, standard output or the document: each is
// one line, and the file asked for is left as it was.
TEST_F(CommandLineTest, AFailureOnEitherSideIsOneLineAndLeavesTheFilesAlone) {
  fs::copy_file(kData + "/basic/input.xml", dir_ / "book.xml");
  const std::string book = ReadFile(dir_ / "book.xml");
  const struct {
    Args args;
    std::string input, err;
  } rows[] = {
      {{"-"}, "not a workbook at all\n", "zerova: standard input: not a spreadsheet file"},
      {{"-o", "/dev/full", kBasic}, "", "zerova: /dev/full: "},
      {{"--output", "book.xml", "book.xml"},
       "",
       "zerova: book.xml: the document would replace the spreadsheet it comes from; "
       "nothing was written\n"},
      {{"--outdir", ".", "book.xml"},
       "",
       "zerova: ./book.xml: the document would replace the spreadsheet it comes from; "
       "nothing was written\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::PrintToString(row.args));
    const Result r = RunIn(dir_, row.args, {}, row.input);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(r.err.starts_with(row.err)) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(ReadFile(dir_ / "book.xml"), book);
    EXPECT_FALSE(fs::exists(dir_ / "xmlstructure.xml"));
  }
  // A full standard output: the document or the success line cannot be
  // written there, and the run fails, though a document file is complete.
  for (const bool to_stdout : {true, false}) {
    const Result r = RunIn(dir_, to_stdout ? Args{"-o", "-", kBasic} : Args{kBasic}, {}, "",
                           ZEROVA_BINARY, "/dev/full");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, std::string("zerova: standard output: could not write ") +
                         (to_stdout ? "the document" : "the completion message") +
                         ": No space left on device\n");
    EXPECT_EQ(ReadFile(dir_ / "xmlstructure.xml"),
              to_stdout ? "" : ReadFile(kData + "/basic/expected.xml"));
  }
}

// Each sheet of the workbook in every format that holds several, listed and
// chosen by name or number: an exact name comes before a number, "1" names the
// third sheet. A sheet not there, or no worksheet, is one line; nothing is
// written then.
TEST_F(CommandLineTest, SheetsAreListedAndChosenByNameOrNumberInEveryFormat) {
  const std::string listing = "1\tSummary\n2\tÜberblick & Co\tactive\n3\t1\n4\tNotes\n";
  // The list of sheets in a refusal; it ends with the .xlsx's chart sheet there.
  const std::string sheets = "the sheets are \"Summary\", \"Überblick & Co\", \"1\"";
  const std::string last_sheets[] = {" and \"Notes\"", ", \"Notes\" and \"Chart\""};
  const struct {
    Args options;
    int sheet;        // the expected document's sheet; 0: refused
    std::string err;  // after "zerova: FILE: "
  } choices[] = {
      {{}, 2, ""},
      {{"--sheet=Summary"}, 1, ""},
      {{"--sheet", "1"}, 3, ""},
      {{"--sheet=4"}, 4, ""},
      {{"--sheet=2"}, 2, ""},
      {{"--sheet=summary"}, 0, "no sheet is named \"summary\"; " + sheets},
      {{"--sheet=9"}, 0, "no sheet is named \"9\" and there is no sheet 9; " + sheets},
  };
  for (const std::string format : {"xls", "xlsx", "xlsb", "ods", "xml"}) {
    const std::string file = kSheets + "input." + format;
    SCOPED_TRACE(file);
    const Result listed = RunIn(dir_, {"--list-sheets", file});
    EXPECT_EQ(listed.status, 0);
    EXPECT_EQ(listed.out, format == "xlsx" ? listing + "5\tChart\tchart\n" : listing);
    EXPECT_EQ(listed.err, "");
    EXPECT_FALSE(fs::exists(dir_ / "xmlstructure.xml"));
    for (const auto& choice : choices) {
      SCOPED_TRACE(::testing::PrintToString(choice.options));
      Args args = choice.options;
      args.push_back(file);
      const Result r = RunIn(dir_, args);
      EXPECT_EQ(r.status, choice.sheet == 0 ? 1 : 0);
      EXPECT_EQ(r.out, choice.sheet == 0 ? "" : kSuccess);
      const std::string& last = last_sheets[format == "xlsx"];
      EXPECT_EQ(r.err,
                choice.sheet == 0 ? "zerova: " + file + ": " + choice.err + last + "\n" : "");
      EXPECT_EQ(ReadFile(dir_ / "xmlstructure.xml"),
                choice.sheet == 0 ? "" : ReadFile(SheetDocument(choice.sheet)));
      fs::remove(dir_ / "xmlstructure.xml");
    }
  }
  const Result chart = RunIn(dir_, {"--sheet=5", kSheets + "input.xlsx"});
  EXPECT_EQ(chart.status, 1);
  EXPECT_EQ(chart.err,
            "zerova: " + kSheets + "input.xlsx: the sheet \"Chart\" is a chart, not a worksheet\n");
  // The listing of a workbook on standard input, and of one that is none.
  const Result piped = RunIn(dir_, {"--list-sheets", "-"}, {}, ReadFile(kSheets + "input.ods"));
  EXPECT_EQ(piped.out, listing);
  const Result bad = RunIn(dir_, {"--list-sheets", kSheets + "expected-sheet1.xml"});
  EXPECT_EQ(bad.status, 1);
  EXPECT_TRUE(bad.err.starts_with("zerova: " + kSheets + "expected-sheet1.xml: not a spreadsheet"));
  EXPECT_EQ(bad.out, "");
}

// --outdir: each FILE into DIR/NAME.xml, with one success line each; a bad
// FILE gets its one line and the others still convert; exit 1.
TEST_F(CommandLineTest, AnOutdirBatchConvertsEveryGoodFileAndNamesTheBadOne) {
  fs::create_directory(dir_ / "out");
  fs::copy_file(kBasic, dir_ / "people.xls");
  fs::copy_file(kSheets + "input.ods", dir_ / "sheets.v2.ods");
  WriteFile(dir_ / "notes.xls", "just some text\n");
  const Result r = RunIn(dir_, {"--outdir=out", "people.xls", "notes.xls", "sheets.v2.ods"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "out/people.xml: XML created successfully\n"
            "out/sheets.v2.xml: XML created successfully\n");
  EXPECT_TRUE(r.err.starts_with("zerova: notes.xls: not a spreadsheet file")) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  EXPECT_EQ(ReadFile(dir_ / "out/people.xml"), ReadFile(kData + "/basic/expected.xml"));
  EXPECT_EQ(ReadFile(dir_ / "out/sheets.v2.xml"), ReadFile(SheetDocument(2)));
  EXPECT_FALSE(fs::exists(dir_ / "out/notes.xml"));
  EXPECT_FALSE(fs::exists(dir_ / "xmlstructure.xml"));
  // All good, quiet, with --sheet for each: exit 0 and nothing printed.
  const Result quiet =
      RunIn(dir_, {"-q", "--sheet=1", "--outdir", (dir_ / "out").string(), "sheets.v2.ods"});
  EXPECT_EQ(quiet.status, 0);
  EXPECT_EQ(quiet.out + quiet.err, "");
  EXPECT_EQ(ReadFile(dir_ / "out/sheets.v2.xml"), ReadFile(SheetDocument(3)));
  // A DIR that is not there, or no folder: one line, nothing converted.
  for (const auto& [dir, what] : std::vector<std::pair<std::string, std::string>>{
           {"missing", "no such folder"}, {"people.xls", "is not a folder"}}) {
    const Result none = RunIn(dir_, {"--outdir", dir, "people.xls"});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err, "zerova: " + dir + ": " + what + "\n");
  }
}

// A usage error is two lines on stderr and exit 2, with nothing read or written.
TEST_F(CommandLineTest, EachUsageErrorIsTwoLinesAndChangesNothing) {
  const struct {
    Args args;
    std::string reason;
  } rows[] = {
      {{"--frobnicate", kBasic}, "unknown option '--frobnicate'"},
      {{"-qx", kBasic}, "unknown option '-x'"},
      {{"--out=a.xml", kBasic}, "ambiguous option '--out' (--output or --outdir)"},
      {{"--quiet=yes", kBasic}, "option '--quiet' takes no argument"},
      {{kBasic, "-o"}, "option '-o' needs a value"},
      {{kBasic, "--password-file"}, "option '--password-file' needs a value"},
      {{"--sheet=", kBasic}, "option '--sheet' needs a value"},
      {{"-q"}, "no FILE given"},
      {{kBasic, kBasic}, "several FILEs need --outdir DIR"},
      {{"-o", "a.xml", "--outdir=.", kBasic}, "--output and --outdir cannot be used together"},
      {{"--list-sheets", kBasic, kBasic}, "--list-sheets takes one FILE"},
      {{"--list-sheets", "--sheet=1", kBasic},
       "--list-sheets writes no document and takes no --output, --outdir or --sheet"},
      {{"--outdir=.", kBasic, "-"}, "--outdir has no NAME for standard input ('-')"},
      {{"--outdir=.", kBasic, kData + "/basic/input.ods"},
       kBasic + " and " + kData + "/basic/input.ods would both be converted into ./input.xml"},
      {{"--from-menu", kBasic, kBasic},
       "--from-menu must come first, followed by one FILE at most"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::PrintToString(row.args));
    PutEarlierDocument();
    const Result r = RunIn(dir_, row.args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "zerova: " + row.reason + "\nTry 'zerova --help' for more information.\n");
    EXPECT_EQ(ReadFile(dir_ / "xmlstructure.xml"), "earlier\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
  }
}

// The help goes to stdout, fits 80 columns, names every option and ends with
// the registry's formats; --version says which version; both exit 0.
TEST_F(CommandLineTest, HelpAndVersionGoToStdout) {
  for (const std::string option : {"--help", "-h", "--he"}) {
    const Result help = RunIn(dir_, {kBasic, option});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    EXPECT_TRUE(help.out.starts_with("Usage: zerova [OPTION]... FILE...\n")) << help.out;
    EXPECT_TRUE(help.out.ends_with(zerova::FormatHelp())) << help.out;
    std::istringstream lines(help.out);
    for (std::string line; std::getline(lines, line);) EXPECT_LE(line.size(), 80u) << line;
    for (const char* name : {"-o, --output=FILE", "--outdir=DIR", "--sheet=NAME|N", "--list-sheets",
                             "--password-file=PWFILE", "-q, --quiet", "-h, --help", "--version",
                             "--from-menu", "ZEROVA_PASSWORD"}) {
      EXPECT_NE(help.out.find(name), std::string::npos) << name;
    }
  }
  EXPECT_FALSE(fs::exists(dir_ / "xmlstructure.xml"));
  const Result version = RunIn(dir_, {"--version", "--frobnicate"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "zerova " ZEROVA_VERSION_TEXT "\n");
  EXPECT_EQ(version.err, "");
}

// Cells left out past column 16,384 are told on stderr however the success
// line is not printed: quiet, or the document on stdout.
TEST_F(CommandLineTest, TheNoteOfCellsLeftOutComesQuietOrNot) {
  std::string wide = "c1";
  for (int column = 2; column <= 16385; ++column) wide += ",c" + std::to_string(column);
  WriteFile(dir_ / "wide.csv", wide + "\n" + wide + "\n");
  for (const Args& args : {Args{"-q", "wide.csv"}, Args{"-o", "-", "wide.csv"}}) {
    SCOPED_TRACE(::testing::PrintToString(args));
    const Result r = RunIn(dir_, args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err,
              "zerova: wide.csv: the sheet has cells past column 16,384 (XFD); they were left "
              "out, as Excel leaves them out\n");
    EXPECT_EQ(r.out.empty(), args[0] == "-q");
  }
}

TEST_F(CommandLineTest, ASecondConversionIntoTheSameFolderIsRefusedWhileTheFirstWrites) {
  const zerova::test::Bytes tall = zerova::test::TextGridWorkbook(20000, 2);
  WriteFile(dir_ / "tall.xls", std::string(tall.begin(), tall.end()));
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
  EXPECT_EQ(ReadFile(document), zerova::test::TextGridDocument(20000, 2));
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
    EXPECT_EQ(ReadFile(dir_ / std::to_string(i) / "xmlstructure.xml"),
              ReadFile(kData + "/basic/expected.xml"));
  }
}

// A read-only scratch file, then a folder in its place: the earlier document stays.
TEST_F(CommandLineTest, AScratchFileThatCannotBeRenewedKeepsTheEarlierDocumentByteForByte) {
  // A copy of zerova in a folder of its own, so that its scratch file is the test's alone.
  const fs::path bin = dir_ / "bin", work = dir_ / "work", scratch = bin / "xmlstr.xml";
  fs::create_directory(bin);
  fs::create_directory(work);
  fs::copy_file(ZEROVA_BINARY, bin / "zerova");
  WriteFile(work / "xmlstructure.xml", "earlier\r\n");
  WriteFile(scratch, "kept");
  fs::permissions(scratch, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  for (const std::string why : {"the file is read-only and cannot be replaced",
                                "a folder stands where the scratch file belongs"}) {
    const Result r = RunIn(work, {kBasic}, {}, "", bin / "zerova");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "zerova: " + scratch.string() + ": " + why + "\n");
    EXPECT_EQ(ReadFile(work / "xmlstructure.xml"), "earlier\r\n");
    EXPECT_TRUE(!fs::is_regular_file(scratch) || ReadFile(scratch) == "kept");
    fs::remove(scratch);
    fs::create_directory(scratch);
  }
}

// A symbolic link in the document's place is never followed: the file it leads
// to keeps its bytes, and the run says why in one line.
TEST_F(CommandLineTest, ASymbolicLinkInTheDocumentsPlaceIsRefusedAndItsTargetKept) {
  const fs::path target = dir_ / "precious.txt";
  WriteFile(target, "precious\n");
  fs::create_symlink(target, dir_ / "xmlstructure.xml");
  const Result r = RunIn(dir_, {kBasic});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "zerova: " + (dir_ / "xmlstructure.xml").string() +
                       ": a symbolic link stands in the file's place; it is not followed\n");
  EXPECT_EQ(ReadFile(target), "precious\n");
}

}  // namespace
