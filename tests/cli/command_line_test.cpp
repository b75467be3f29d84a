// The command line, run as a user runs it: `zerova [OPTION]... FILE...` in a
// working folder, checked by what it prints, its exit status and the files it
// leaves; and how it starts the window from the desktop's menu. Stops, progress,
// the password prompt, races and resource limits: command_line_safety_test.cpp.
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <regex>
#include <sstream>
#include <thread>
#include <vector>

#include "formats/registry.h"
#include "services/output_stream.h"
#include "services/paths.h"
#include "services/stop_signals.h"
#include "support/biff_builder.h"
#include "support/child_process.h"
#include "zerova_version.h"  // ZEROVA_VERSION_TEXT

namespace zerova::test {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

// Runs zerova with `args` in `work`; `input`, when not empty, comes on stdin.
Result RunIn(const fs::path& work, Args args, Args env = {}, const std::string& input = "",
             const fs::path& stdout_to = {}) {
  ChildSetup setup;
  setup.args = std::move(args);
  setup.env = std::move(env);
  setup.stdout_to = stdout_to;
  return test::Run(work, std::move(setup), input);
}

const std::string kRc4 = kData + "/encrypted-xls-rc4/input.xls",
                  kSheets = kData + "/several-sheets/";

// The expected document of sheet `n` of the several-sheets workbook; the
// active one, sheet 2, is the folder's expected.xml.
std::string SheetDocument(int n) {
  return kSheets + (n == 2 ? "expected.xml" : "expected-sheet" + std::to_string(n) + ".xml");
}

class CommandLineTest : public ::testing::Test {
 protected:
  ~CommandLineTest() override {
    for (const auto& entry : fs::recursive_directory_iterator(dir_)) {
      fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add);
    }
    fs::remove_all(dir_);
  }

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
  const std::string needs =
      "needs a password; give it with --password-file PWFILE or in the environment variable "
      "ZEROVA_PASSWORD\n";
  const std::string noted = BasicNote("xmlstructure.xml");
  const struct {
    Args args, env;
    int status;
    std::string out, err;
  } rows[] = {
      {{kBasic}, {}, 0, kSuccess, noted},
      {{"notes.xls"}, {}, 1, "", "zerova: notes.xls: not a spreadsheet file this program reads"},
      // A name's line breaks and stray bytes, written so that the message is one UTF-8 line.
      {{"bad\nname\xFF.xls"}, {}, 1, "", "zerova: bad\\nname\\xFF.xls: no such file\n"},
      {{kRc4}, {}, 1, "", refused + needs},
      {{"--password-file", kData + "/encrypted-xls-rc4/password.txt", kRc4},
       {},
       0,
       kSuccess,
       noted},
      {{kRc4}, {right}, 0, kSuccess, noted},
      {{"--password-file=wrong.txt", kRc4}, {right}, 1, "", refused + "the password is wrong\n"},
      {{"--password-file=missing.txt", kRc4}, {right}, 1, "", "zerova: missing.txt: could not "},
      // No option takes the password itself: this names a password file.
      {{"--password=pässwörd", kRc4}, {}, 1, "", "zerova: pässwörd: could not read the password "},
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
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(ReadFile(dir_ / "xmlstructure.xml"),
              row.status == 0 ? ReadFile(kBasicDocument) : "earlier\r\n");
  }
}

// The document goes where it is asked to, with the same bytes: the default
// file, -o FILE (written whole), standard output by name or as "-"; the
// workbook comes from a file, from standard input, or from /dev/stdin; "--"
// makes "-o" a FILE. Nothing else is written, no temporary file stays, and a
// document written whole over an earlier file keeps that file's mode.
TEST_F(CommandLineTest, EveryWayInAndOutGivesTheSameDocument) {
  const std::string expected = ReadFile(kBasicDocument);
  const std::string book = ReadFile(kBasic);
  fs::create_directory(dir_ / "sub");
  fs::copy_file(kBasic, dir_ / "-o");
  const struct {
    Args args;
    bool from_stdin;
    std::string document;  // "" standard output
    std::string out;
    std::string named;  // the document, as its note names it
  } rows[] = {
      {{kBasic}, false, "xmlstructure.xml", kSuccess, "xmlstructure.xml"},
      {{"-o", "sub/out.xml", kBasic}, false, "sub/out.xml", kSuccess, "sub/out.xml"},
      {{kBasic, "--output=out.xml"}, false, "out.xml", kSuccess, "out.xml"},
      {{"-q", "--outp", (dir_ / "abs.xml").string(), kBasic},
       false,
       "abs.xml",
       "",
       (dir_ / "abs.xml").string()},
      {{"-o", "-", kBasic}, false, "", expected, "standard output"},
      {{"-o", "/dev/stdout", kBasic}, false, "", expected, "/dev/stdout"},
      {{"-"}, true, "xmlstructure.xml", kSuccess, "xmlstructure.xml"},
      {{"-o", "in.xml", "/dev/stdin"}, true, "in.xml", kSuccess, "in.xml"},
      {{"-qo-", "-"}, true, "", expected, "standard output"},
      {{"--", "-o"}, false, "xmlstructure.xml", kSuccess, "xmlstructure.xml"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::PrintToString(row.args));
    const Result r = RunIn(dir_, row.args, {}, row.from_stdin ? book : "");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, BasicNote(row.named));
    EXPECT_EQ(r.out, row.out);
    if (!row.document.empty()) {
      EXPECT_EQ(ReadFile(dir_ / row.document), expected);
    }
    std::vector<fs::path> written;
    for (const auto& entry : fs::recursive_directory_iterator(dir_)) {
      if (entry.is_regular_file() && entry.path().filename() != "-o") written.push_back(entry);
    }
    EXPECT_EQ(written.size(), row.document.empty() ? 0u : 1u);
    for (const fs::path& document : written) fs::remove(document);
  }
  WriteFile(dir_ / "out.xml", "earlier\n");
  fs::permissions(dir_ / "out.xml", fs::perms::owner_read | fs::perms::owner_write);
  ASSERT_EQ(RunIn(dir_, {"-q", "-o", "out.xml", kBasic}).status, 0);
  EXPECT_EQ(fs::status(dir_ / "out.xml").permissions(),
            fs::perms::owner_read | fs::perms::owner_write);
}

// A FIFO named as FILE or as -o, and a process substitution's /dev/fd/N, are
// read and written as streams: the document comes through whole, with stdin
// closed too.
TEST_F(CommandLineTest, FifosAndDevicesAreReadAndWrittenAsStreams) {
  const std::string expected = ReadFile(kBasicDocument);
  ASSERT_EQ(::mkfifo((dir_ / "in.fifo").c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo((dir_ / "out.fifo").c_str(), 0600), 0);
  std::string through_fifo;
  std::thread writer([&] { WriteFile(dir_ / "in.fifo", ReadFile(kBasic)); });
  std::thread reader([&] { through_fifo = ReadFile(dir_ / "out.fifo"); });
  const Result r = RunIn(dir_, {"-o", "out.fifo", "in.fifo"});
  writer.join();
  reader.join();
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, kSuccess);
  EXPECT_EQ(through_fifo, expected);
  ChildSetup closed;  // no stdin: a descriptor the run opens may be 0
  closed.args = {"-q", "-o", "-", kBasic};
  closed.stdin_closed = true;
  const Result no_stdin = test::Run(dir_, closed);
  EXPECT_EQ(no_stdin.status, 0) << no_stdin.err;
  EXPECT_EQ(no_stdin.out, expected);
  const Result nul = RunIn(dir_, {"-q", "-o", "/dev/null", kBasic});
  EXPECT_EQ(nul.status + nul.out.size(), 0u) << nul.err;
  EXPECT_EQ(nul.err, BasicNote("/dev/null"));
  // A socket takes no document.
  const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  (dir_ / "out.sock").string().copy(address.sun_path, sizeof address.sun_path - 1);
  ASSERT_EQ(::bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  const Result to_socket = RunIn(dir_, {"-o", "out.sock", kBasic});
  ::close(socket);
  EXPECT_EQ(to_socket.status, 1);
  EXPECT_EQ(to_socket.err, "zerova: out.sock: is a socket; nothing is written to it\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 3);
}

// Failures that name standard input, standard output or the document: each is
// one line, and the file asked for is left as it was.
TEST_F(CommandLineTest, AFailureOnEitherSideIsOneLineAndLeavesTheFilesAlone) {
  fs::copy_file(kData + "/basic/input.xml", dir_ / "book.xml");
  const std::string book = ReadFile(dir_ / "book.xml");
  const std::string replace =
      "book.xml: the document would replace the spreadsheet it comes from; nothing was written\n";
  const struct {
    Args args;
    std::string input, err;
  } rows[] = {
      {{"-"}, "not a workbook at all\n", "zerova: standard input: not a spreadsheet file"},
      {{"-o", "/dev/full", kBasic}, "", "zerova: /dev/full: could not write the document: No "},
      {{"-o", "/dev/fd/0", kBasic},
       "",
       "zerova: /dev/fd/0: is open for reading only; nothing is written to it\n"},
      {{"--output", "book.xml", "book.xml"}, "", "zerova: " + replace},
      {{"--outdir", ".", "book.xml"}, "", "zerova: ./" + replace},
      {{"-o", ".", kBasic},
       "",
       "zerova: .: is a folder; give a file name, or --outdir DIR to write into it\n"},
      {{"-o", "no/out.xml", kBasic}, "", "zerova: no/out.xml: the folder no does not exist\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::PrintToString(row.args));
    const Result r = RunIn(dir_, row.args, {}, row.input);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(r.err.starts_with(row.err)) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(ReadFile(dir_ / "book.xml"), book);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
  }
  // A full standard output: the document or the success line cannot be
  // written there, and the run fails, though a document file is complete.
  for (const bool to_stdout : {true, false}) {
    const Result r =
        RunIn(dir_, to_stdout ? Args{"-o", "-", kBasic} : Args{kBasic}, {}, "", "/dev/full");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, std::string("zerova: standard output: could not write ") +
                         (to_stdout ? "the document" : "the completion message") +
                         ": No space left on device\n");
    EXPECT_EQ(ReadFile(dir_ / "xmlstructure.xml"), to_stdout ? "" : ReadFile(kBasicDocument));
  }
}

// A current folder the user may not write to: the default document cannot be
// made there, and the message says how to write it elsewhere.
TEST_F(CommandLineTest, AReadOnlyFolderSaysHowToWriteElsewhere) {
  ChildSetup setup;
  setup.args = {CopyForAll(kBasic, dir_)};
  setup.binary = CopyForAll(ZEROVA_BINARY, dir_);
  setup.user = kNobody;
  fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                            fs::perms::others_exec);
  const Result r = test::Run(dir_, setup);
  fs::permissions(dir_, fs::perms::owner_all);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "zerova: " + (dir_ / "xmlstructure.xml").string() +
                       ": the current folder cannot be written to, so the document cannot be "
                       "made there; give -o FILE to write it elsewhere\n");
}

// Each sheet of the workbook in every format that holds several, listed and
// chosen by name (exactly, else but for case) or by number: a name comes
// before a number, so "1" names the third sheet, and a note points to
// --sheet-number, which counts positions alone. A sheet not there, or no
// worksheet, is one line; nothing is written then.
TEST_F(CommandLineTest, SheetsAreListedAndChosenByNameOrNumberInEveryFormat) {
  // OpenDocument hides a sheet, but has no "very hidden".
  const std::string listing =
      "1\tSummary\n2\tÜberblick & Co\tactive\n3\t1\n4\tNotes\n5\tHidden\thidden\n6\tSecret\t";
  const std::string very_hidden = "very hidden\n", ods_hidden = "hidden\n";
  // The list of sheets in a refusal; it ends with the .xlsx's chart sheet there.
  const std::string sheets = "the sheets are \"Summary\", \"Überblick & Co\", \"1\"";
  const std::string last_sheets[] = {", \"Notes\", \"Hidden\" and \"Secret\"",
                                     ", \"Notes\", \"Hidden\", \"Secret\" and \"Chart\""};
  const std::string took_the_name =
      "--sheet=1 took the sheet named \"1\"; sheet 1 is \"Summary\": give --sheet-number=1 for "
      "that one";
  const struct {
    Args options;
    int sheet;        // the expected document's sheet; 0: refused
    std::string err;  // after "zerova: FILE: "
  } choices[] = {
      {{}, 2, ""},
      {{"--sheet=Summary"}, 1, ""},
      {{"--sheet=sUMMARY"}, 1, ""},
      {{"--sheet=überblick & co"}, 2, ""},
      {{"--sheet", "1"}, 3, took_the_name},
      {{"--sheet-number=1"}, 1, ""},
      {{"--sheet=4"}, 4, ""},
      {{"--sheet-number", "3"}, 3, ""},
      {{"--sheet=Summar"}, 0, "no sheet is named \"Summar\"; " + sheets},
      {{"--sheet=9"}, 0, "no sheet is named \"9\" and there is no sheet 9; " + sheets},
      {{"--sheet-number=9"}, 0, "there is no sheet 9; " + sheets},
  };
  for (const std::string format : {"xls", "xlsx", "xlsb", "ods", "xml"}) {
    const std::string file = kSheets + "input." + format;
    SCOPED_TRACE(file);
    const Result listed = RunIn(dir_, {"--list-sheets", file});
    EXPECT_EQ(listed.status, 0);
    EXPECT_EQ(listed.out, listing + (format == "ods" ? ods_hidden : very_hidden) +
                              (format == "xlsx" ? "7\tChart\tchart\n" : ""));
    EXPECT_EQ(listed.err, "");
    EXPECT_FALSE(fs::exists(dir_ / "xmlstructure.xml"));
    for (const auto& choice : choices) {
      SCOPED_TRACE(::testing::PrintToString(choice.options));
      Args args = choice.options;
      args.push_back(file);
      const Result r = RunIn(dir_, args);
      EXPECT_EQ(r.status, choice.sheet == 0 ? 1 : 0);
      EXPECT_EQ(r.out, choice.sheet == 0 ? "" : kSuccess);
      const std::string last = choice.sheet == 0 ? last_sheets[format == "xlsx"] : "";
      // A note names the document; a refusal, the file.
      const std::string named = choice.sheet == 0 ? file : "xmlstructure.xml";
      EXPECT_EQ(r.err,
                choice.err.empty() ? "" : "zerova: " + named + ": " + choice.err + last + "\n");
      EXPECT_EQ(ReadFile(dir_ / "xmlstructure.xml"),
                choice.sheet == 0 ? "" : ReadFile(SheetDocument(choice.sheet)));
      fs::remove(dir_ / "xmlstructure.xml");
    }
  }
  const Result chart = RunIn(dir_, {"--sheet=7", kSheets + "input.xlsx"});
  EXPECT_EQ(chart.status, 1);
  EXPECT_EQ(chart.err, "zerova: " + kSheets +
                           "input.xlsx: the sheet \"Chart\" is a chart, not a worksheet; give "
                           "--sheet=NAME or --sheet-number=N; --list-sheets lists the sheets\n");
  // The listing of a workbook on standard input, and of one that is none.
  const Result piped = RunIn(dir_, {"--list-sheets", "-"}, {}, ReadFile(kSheets + "input.ods"));
  EXPECT_EQ(piped.out, listing + ods_hidden);
  const Result bad = RunIn(dir_, {"--list-sheets", kSheets + "expected-sheet1.xml"});
  EXPECT_EQ(bad.status, 1);
  EXPECT_TRUE(bad.err.starts_with("zerova: " + kSheets + "expected-sheet1.xml: not a spreadsheet"));
  EXPECT_EQ(bad.out, "");
}

// --outdir: each FILE into DIR/NAME.xml (DIR made when missing), with one
// success line each and a closing count; a bad FILE gets its one line and the
// others still convert; exit 1. Two FILEs of one NAME both go through: the
// later document gets "-2", with a note naming its source, unless
// --keep-extension parts them.
TEST_F(CommandLineTest, AnOutdirBatchConvertsEveryGoodFileAndNamesTheBadOne) {
  fs::copy_file(kBasic, dir_ / "people.xls");
  fs::copy_file(kSheets + "input.ods", dir_ / "sheets.v2.ods");
  WriteFile(dir_ / "notes.xls", "just some text\n");
  const Result r = RunIn(dir_, {"--outdir=out/new", "people.xls", "notes.xls", "sheets.v2.ods"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "out/new/people.xml: XML created successfully\n"
            "out/new/sheets.v2.xml: XML created successfully\n");
  EXPECT_TRUE(r.err.starts_with(BasicNote("out/new/people.xml") +
                                "zerova: notes.xls: not a spreadsheet file"))
      << r.err;
  EXPECT_TRUE(r.err.ends_with("\nzerova: 2 documents written, 1 file failed\n")) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 3) << r.err;
  EXPECT_EQ(ReadFile(dir_ / "out/new/people.xml"), ReadFile(kBasicDocument));
  EXPECT_EQ(ReadFile(dir_ / "out/new/sheets.v2.xml"), ReadFile(SheetDocument(2)));
  EXPECT_FALSE(fs::exists(dir_ / "out/new/notes.xml"));
  EXPECT_FALSE(fs::exists(dir_ / "xmlstructure.xml"));
  // All good, quiet, with --sheet for each: exit 0 and nothing printed.
  const Result quiet =
      RunIn(dir_, {"-q", "--sheet-number=3", "--outdir", (dir_ / "out").string(), "sheets.v2.ods"});
  EXPECT_EQ(quiet.status, 0);
  EXPECT_EQ(quiet.out + quiet.err, "");
  EXPECT_EQ(ReadFile(dir_ / "out/sheets.v2.xml"), ReadFile(SheetDocument(3)));
  // Names that meet: the later document renamed, with a note; with
  // --keep-extension, the extensions keep them apart.
  fs::copy_file(kSheets + "input.xls", dir_ / "sheets.v2.xls");
  fs::create_directory(dir_ / "sub");
  fs::copy_file(kBasic, dir_ / "sub/people.xls");
  Args args = {"-q",           "--outdir=both", "people.xls", "sheets.v2.ods", "sub/people.xls",
               "sheets.v2.xls"};
  const Result met = RunIn(dir_, args);
  EXPECT_EQ(met.status, 0);
  EXPECT_EQ(met.err, BasicNote("both/people.xml") + BasicNote("both/people-2.xml") +
                         "zerova: both/people-2.xml: from sub/people.xls, as both/people.xml is "
                         "from people.xls\nzerova: both/sheets.v2-2.xml: from sheets.v2.xls, as "
                         "both/sheets.v2.xml is from sheets.v2.ods\n");
  EXPECT_EQ(ReadFile(dir_ / "both/people-2.xml"), ReadFile(kBasicDocument));
  EXPECT_EQ(ReadFile(dir_ / "both/sheets.v2-2.xml"), ReadFile(SheetDocument(2)));
  args.erase(args.begin() + 4);  // sub/people.xls, whose name is people.xls's too
  args[0] = "--keep-extension";
  const Result kept = RunIn(dir_, args);
  EXPECT_EQ(kept.status, 0) << kept.err;
  EXPECT_EQ(ReadFile(dir_ / "both/sheets.v2.xls.xml"), ReadFile(SheetDocument(2)));
  EXPECT_EQ(ReadFile(dir_ / "both/sheets.v2.ods.xml"), ReadFile(SheetDocument(2)));
  EXPECT_EQ(kept.err,
            BasicNote("both/people.xls.xml") + "zerova: 3 documents written, 0 files failed\n");
}

// --all-sheets: a document per worksheet, hidden ones too, DIR/NAME.SHEET.xml,
// in workbook order; a chart is skipped with a note; the count closes the batch.
TEST_F(CommandLineTest, AllSheetsGiveADocumentEachAndSkipCharts) {
  const Result r = RunIn(dir_, {"--all-sheets", "--outdir=all", kSheets + "input.xlsx"});
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string names[] = {"Summary", "Überblick & Co", "1", "Notes", "Hidden", "Secret"};
  std::string out;
  for (int sheet = 1; sheet <= 6; ++sheet) {
    const std::string document = "all/input." + names[sheet - 1] + ".xml";
    out += document + ": XML created successfully\n";
    if (sheet <= 4) {
      EXPECT_EQ(ReadFile(dir_ / document), ReadFile(SheetDocument(sheet)));
    }
  }
  EXPECT_EQ(r.out, out);
  EXPECT_EQ(r.err, "zerova: " + kSheets +
                       "input.xlsx: the sheet \"Chart\" is a chart; it was skipped\nzerova: 6 "
                       "documents written, 0 files failed\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "all"), fs::directory_iterator()), 6);
}

// An XML Spreadsheet 2003 workbook of sheets named `sheets`, each holding its
// name as its one label; a sheet named "" is named "Blank" and holds nothing.
std::string Book(const std::vector<std::string>& sheets) {
  std::string xml =
      "<?xml version=\"1.0\"?><Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\" "
      "xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\">";
  for (std::string name : sheets) {
    for (std::size_t at = 0; (at = name.find('<', at)) != std::string::npos;)
      name.replace(at, 1, "&lt;");
    const std::string row = "<Row><Cell><Data ss:Type=\"String\">" + name + "</Data></Cell></Row>";
    xml += "<Worksheet ss:Name=\"" + (name.empty() ? "Blank" : name) + "\"><Table>" +
           (name.empty() ? "" : row) + "</Table></Worksheet>";
  }
  return xml + "</Workbook>";
}

// The label of the one node of `document`.
std::string LabelOf(const fs::path& document) {
  const std::string text = ReadFile(document);
  const std::size_t start = text.find("lbl=\"");
  if (start == std::string::npos) return "";
  return text.substr(start + 5, text.find('"', start + 5) - start - 5);
}

// Where two documents of a batch would take one name, the later gets "-2",
// "-3", ... and a note saying which source each came from: the same name in
// three folders, a sheet document of one workbook meeting another's
// (a.xls's "b.Other" and a.b.xls's "Other"), sheet names that differ in case
// only or hold characters other systems refuse, and a name past 255 bytes,
// cut at a character's end. Every note names its document; the count line
// counts the files there are; --fail-empty fails the batch on an empty sheet.
TEST_F(CommandLineTest, ABatchGivesEachDocumentANameOfItsOwnAndSaysWhichGotWhich) {
  for (const char* folder : {"a", "b", "c"}) {
    fs::create_directory(dir_ / folder);
    WriteFile(dir_ / folder / (std::string("x.xls") + (*folder == 'c' ? "x" : "")), Book({folder}));
  }
  const Result folders = RunIn(dir_, {"-q", "--outdir=out", "a/x.xls", "b/x.xls", "c/x.xlsx"});
  EXPECT_EQ(folders.status, 0);
  EXPECT_EQ(folders.err,
            "zerova: out/x-2.xml: from b/x.xls, as out/x.xml is from a/x.xls\n"
            "zerova: out/x-3.xml: from c/x.xlsx, as out/x.xml is from a/x.xls\n");
  EXPECT_EQ(
      LabelOf(dir_ / "out/x.xml") + LabelOf(dir_ / "out/x-2.xml") + LabelOf(dir_ / "out/x-3.xml"),
      "abc");

  std::string long_name(100, 'n'), long_sheet = "s";
  for (int i = 0; i < 100; ++i) long_sheet += "\xC3\xA9";  // 2 bytes each
  WriteFile(dir_ / "a.xls", Book({"b.Other", "CON", "a<b>|c", "x.", "Data", "DATA", ""}));
  WriteFile(dir_ / "a.b.xls", Book({"Other"}));
  WriteFile(dir_ / (long_name + ".xls"), Book({long_sheet}));
  const Result sheets = RunIn(dir_, {"--fail-empty", "--all-sheets", "--outdir=all", "a.xls",
                                     "a.b.xls", long_name + ".xls"});
  EXPECT_EQ(sheets.status, 3);
  EXPECT_EQ(sheets.err,
            "zerova: all/a.DATA-2.xml: from sheet \"DATA\" of a.xls, as all/a.Data.xml is from "
            "sheet \"Data\" of a.xls\n"
            "zerova: all/a.Blank.xml: the document has no nodes: cell A1, where the first label "
            "belongs, is empty, and so is every other cell of the sheet\n"
            "zerova: all/a.b.Other-2.xml: from sheet \"Other\" of a.b.xls, as all/a.b.Other.xml "
            "is from sheet \"b.Other\" of a.xls\n"
            "zerova: 9 documents written, 0 files failed\n");
  std::map<std::string, std::string> labels;
  for (const auto& entry : fs::directory_iterator(dir_ / "all")) {
    labels[entry.path().filename().string()] = LabelOf(entry.path());
  }
  // Cut to 251 bytes and ".xml", but for a character's first byte: 254 in all.
  const std::string cut = long_name + "." + long_sheet.substr(0, 149) + ".xml";
  EXPECT_EQ(labels, (std::map<std::string, std::string>{{"a.b.Other.xml", "b.Other"},
                                                        {"a.CON.xml", "CON"},
                                                        {"a.a<b>|c.xml", "a&lt;b&gt;|c"},
                                                        {"a.x..xml", "x."},
                                                        {"a.Data.xml", "Data"},
                                                        {"a.DATA-2.xml", "DATA"},
                                                        {"a.Blank.xml", ""},
                                                        {"a.b.Other-2.xml", "Other"},
                                                        {cut, long_sheet}}));
}

// A usage error is two lines on stderr and exit 2, with nothing read or written.
TEST_F(CommandLineTest, EachUsageErrorIsTwoLinesAndChangesNothing) {
  const std::string lists_only =
      "--list-sheets writes no document and takes no other option but --password-file";
  const struct {
    Args args;
    std::string reason;
  } rows[] = {
      {{"--no-such-option", kBasic}, "unknown option '--no-such-option'"},
      {{"-qx", kBasic}, "unknown option '-x'"},
      {{"--out=a.xml", kBasic}, "ambiguous option '--out' (--output or --outdir)"},
      {{"--quiet=yes", kBasic}, "option '--quiet' takes no argument"},
      {{kBasic, "-o"}, "option '-o' needs a value"},
      {{kBasic, "--password-file"}, "option '--password-file' needs a value"},
      {{"--sheet=", kBasic}, "option '--sheet' needs a value"},
      {{"--sheet-number=0", kBasic}, "--sheet-number takes a sheet's number from 1, not '0'"},
      {{"--sheet=a", "--sheet-number=1", kBasic}, "give --sheet or --sheet-number once"},
      {{"--first-cell=B0", kBasic}, "--first-cell takes a cell such as B2, or auto, not 'B0'"},
      {{"-q"}, "no FILE given"},
      {{kBasic, kBasic}, "several FILEs need --outdir DIR"},
      {{"-o", "a.xml", "--outdir=.", kBasic}, "--output and --outdir cannot be used together"},
      {{"--all-sheets", kBasic}, "--all-sheets needs --outdir DIR"},
      {{"--all-sheets", "--outdir=.", "--sheet=1", kBasic},
       "--all-sheets converts every sheet: no --sheet"},
      {{"--keep-extension", kBasic}, "--keep-extension needs --outdir DIR"},
      {{"--list-sheets", kBasic, kBasic}, "--list-sheets takes one FILE"},
      {{"--list-sheets", "--sheet=1", kBasic}, lists_only},
      {{"--list-sheets", "-o", "a.xml", kBasic}, lists_only},
      {{"--list-sheets", "--outdir=.", kBasic}, lists_only},
      {{"--list-sheets", "--all-sheets", kBasic}, lists_only},
      {{"--list-sheets", "--first-cell=B2", kBasic}, lists_only},
      {{"--list-sheets", "--first-cell=auto", kBasic}, lists_only},
      {{"--list-sheets", "--fail-empty", kBasic}, lists_only},
      {{"--list-sheets", "--keep-extension", kBasic}, lists_only},
      {{"--outdir=.", kBasic, "-"}, "--outdir has no NAME for standard input ('-')"},
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

// The help goes to stdout, fits 80 columns, names every option, says what
// differs by platform in this one's words and ends with the registry's formats; --version says
// which version; both exit 0.
TEST_F(CommandLineTest, HelpAndVersionGoToStdout) {
  for (const std::string option : {"--help", "-h", "--he"}) {
    const Result help = RunIn(dir_, {kBasic, option});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    EXPECT_TRUE(help.out.starts_with("Usage: zerova [OPTION]... FILE...\n")) << help.out;
    EXPECT_TRUE(help.out.ends_with(zerova::FormatHelp())) << help.out;
    std::istringstream lines(help.out);
    for (std::string line; std::getline(lines, line);) {
      EXPECT_LE(line.size(), 80u) << line;
      EXPECT_FALSE(line.ends_with(' ')) << line;
      // Prose at the margin, options at 2 or 6, their explanations at 26 or 28.
      const std::size_t indent = std::min(line.find_first_not_of(' '), line.size());
      EXPECT_TRUE(line.empty() || indent == 0 || indent == 2 || indent == 6 || indent == 26 ||
                  indent == 28)
          << line;
    }
    // What differs by platform is said in this platform's words, its lines joined.
    const std::string words = std::regex_replace(help.out, std::regex("\\s+"), " ");
    const StopSignalsNamed stops = NameStopSignals();
    for (const std::string& said :
         {std::string(stops.all), std::string(stops.statuses), std::string(SystemFoldersNamed()),
          std::string(StreamPlacesNamed()), "A second " + std::string(stops.second) + " ends",
          std::string("2 usage error; 3 with --fail-empty")}) {
      EXPECT_NE(words.find(said), std::string::npos) << said;
    }
    EXPECT_EQ(help.out.find('~'), std::string::npos);
    for (const char* name :
         {"-o, --output=FILE", "--outdir=DIR", "--sheet=NAME|N", "--sheet-number=N", "--all-sheets",
          "--first-cell=CELL", "--fail-empty", "--keep-extension", "--list-sheets",
          "--password-file=PWFILE", "-q, --quiet", "-h, --help", "--version", "--from-menu",
          "ZEROVA_PASSWORD"}) {
      EXPECT_NE(help.out.find(name), std::string::npos) << name;
    }
  }
  EXPECT_FALSE(fs::exists(dir_ / "xmlstructure.xml"));
  const Result version = RunIn(dir_, {"--version", "--no-such-option"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "zerova " ZEROVA_VERSION_TEXT "\n");
  EXPECT_EQ(version.err, "");
}

// What the user would not see in the document is told on stderr, whether the
// success line is printed or not (quiet, or the document on stdout), each note
// naming the document: cells left out past column 16,384 (the first 16,384
// columns still become nodes), or below a gap in a column and right of an empty
// label (how many, and the first, row by row); a document without nodes, with
// the sheet's first filled cell and the option that reads from there, which
// --first-cell=auto finds itself. --fail-empty makes a document without nodes
// exit 3, written all the same.
TEST_F(CommandLineTest, NotesNameTheDocumentQuietOrNot) {
  const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Main>\r\n";
  std::string wide = "c1", wide_document = head;
  for (int column = 1; column <= 16385; ++column) {
    const std::string c = "c" + std::to_string(column);
    if (column > 1) wide += "," + c;
    if (column <= 16384) {
      wide_document += "<node id=\"n" + std::to_string(column) + "\" lbl=\"" + c +
                       "\">\r\n<value>" + c + "</value>\r\n</node>\r\n";
    }
  }
  wide_document += "</Main>\r\n";
  WriteFile(dir_ / "wide.csv", wide + "\n" + wide + "\n");
  WriteFile(dir_ / "b2.csv", ",\n,Name\n,Ada\n");
  WriteFile(dir_ / "gaps.csv", "Name,,City\nAda,,Paris\n,,\nBob,,Oslo\n");
  WriteFile(dir_ / "blank.csv", ",\n,\n");
  const std::string left_out =
      ": the sheet has cells past column 16,384 (XFD); they were left out, as Excel leaves them "
      "out\n";
  const std::string no_nodes =
      "zerova: xmlstructure.xml: the document has no nodes: cell A1, where the first label "
      "belongs, is empty";
  const std::string empty = head + "</Main>\r\n", ada = "\">\r\n<value>Ada</value>\r\n</node>\r\n";
  const struct {
    Args args;
    int status;
    std::string out, err, document;  // `document`: of xmlstructure.xml
  } rows[] = {
      {{"wide.csv"}, 0, kSuccess, "zerova: xmlstructure.xml" + left_out, wide_document},
      {{"-q", "wide.csv"}, 0, "", "zerova: xmlstructure.xml" + left_out, wide_document},
      {{"-o", "-", "wide.csv"}, 0, wide_document, "zerova: standard output" + left_out, ""},
      {{"-q", "gaps.csv"},
       0,
       "",
       "zerova: xmlstructure.xml: 4 filled cells below an empty cell or right of an empty label "
       "were left out, the first at C1: the first empty cell ends a column, and the first empty "
       "label ends the table\n",
       head + "<node id=\"n1\" lbl=\"Name" + ada + "</Main>\r\n"},
      {{"-q", "b2.csv"},
       0,
       "",
       no_nodes + "; the sheet's first filled cell is B2: --first-cell=B2 reads the table from "
                  "there\n",
       empty},
      {{"-q", "--fail-empty", "blank.csv"},
       3,
       "",
       no_nodes + ", and so is every other cell of the sheet\n",
       empty},
      {{"-q", "--first-cell=B2", "b2.csv"},
       0,
       "",
       "",
       head + "<node id=\"n1\" lbl=\"Name" + ada + "</Main>\r\n"},
      {{"--first-cell=auto", "--fail-empty", "b2.csv"},
       0,
       kSuccess,
       "",
       head + "<node id=\"n1\" lbl=\"Name" + ada + "</Main>\r\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::PrintToString(row.args));
    fs::remove(dir_ / "xmlstructure.xml");
    const Result r = RunIn(dir_, row.args);
    EXPECT_EQ(r.status, row.status);
    EXPECT_EQ(r.err, row.err);
    EXPECT_TRUE(r.out == row.out) << r.out.substr(0, 100);
    EXPECT_TRUE(ReadFile(dir_ / "xmlstructure.xml") == row.document);
  }
}

// Real sheets from the corpus (when it is there): gaps in a column, labels after
// an empty one, a table away from A1. The note says how many cells were left
// out and where the first is, the document stays as the corpus expects it; the
// note on an empty document names the first filled cell, and --first-cell=auto
// reads the same table as --first-cell=THAT.
TEST_F(CommandLineTest, RealSheetsSayWhatTheirTablesLeaveOut) {
  const fs::path corpus = fs::path(ZEROVA_CORPUS) / "xls";
  if (!fs::is_directory(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
  const std::string tail =
      ": the first empty cell ends a column, and the first empty label ends the table\n";
  const struct {
    const char* name;
    std::string note;  // after "zerova: xmlstructure.xml: "
  } rows[] = {
      {"gnumeric__address",
       "4,714 filled cells below an empty cell or right of an empty label were left out, the "
       "first at B3" +
           tail},
      {"exceldatareader__Test_OpenOffice",
       "101 filled cells below an empty cell or right of an empty label were left out, the first "
       "at E1" +
           tail},
      {"gnumeric__formats",
       "the document has no nodes: cell A1, where the first label belongs, is empty; the sheet's "
       "first filled cell is B3: --first-cell=B3 reads the table from there\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string book = (corpus / (std::string(row.name) + ".xls")).string();
    const Result r = RunIn(dir_, {"-q", book});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "zerova: xmlstructure.xml: " + row.note);
    EXPECT_EQ(ReadFile(dir_ / "xmlstructure.xml"),
              ReadFile(corpus / (std::string(row.name) + ".expected")));
  }
  const std::string formats = (corpus / "gnumeric__formats.xls").string();
  ASSERT_EQ(RunIn(dir_, {"-q", "--first-cell=auto", "-o", "auto.xml", formats}).status, 0);
  ASSERT_EQ(RunIn(dir_, {"-q", "--first-cell=B3", "-o", "b3.xml", formats}).status, 0);
  EXPECT_EQ(ReadFile(dir_ / "auto.xml"), ReadFile(dir_ / "b3.xml"));
  EXPECT_NE(ReadFile(dir_ / "auto.xml").find("<node id=\"n1\""), std::string::npos);
}

TEST_F(CommandLineTest, ASecondConversionIntoTheSameFolderIsRefusedWhileTheFirstWrites) {
  const Bytes tall = TextGridWorkbook(20000, 2);
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
  EXPECT_EQ(ReadFile(document), TextGridDocument(20000, 2));
}

// Eight default conversions from one program folder, each in a folder of its
// own, and eight written whole into one FILE: all succeed, each document whole.
TEST_F(CommandLineTest, EightConversionsInParallelAllSucceed) {
  const Bytes tall = TextGridWorkbook(2000, 2);
  WriteFile(dir_ / "tall.xls", std::string(tall.begin(), tall.end()));
  std::vector<Result> results(16);
  std::vector<std::thread> threads;
  for (int i = 0; i < 8; ++i) {
    fs::create_directory(dir_ / std::to_string(i));
    threads.emplace_back([&, i] { results[i] = RunIn(dir_ / std::to_string(i), {kBasic}); });
    threads.emplace_back([&, i] { results[8 + i] = RunIn(dir_, {"-o", "one.xml", "tall.xls"}); });
  }
  for (auto& t : threads) t.join();
  for (int i = 0; i < 16; ++i) EXPECT_EQ(results[i].status, 0) << i << ": " << results[i].err;
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(ReadFile(dir_ / std::to_string(i) / "xmlstructure.xml"), ReadFile(kBasicDocument));
  }
  EXPECT_EQ(ReadFile(dir_ / "one.xml"), TextGridDocument(2000, 2));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 10);
}

// A scratch file that cannot be renewed (read-only, a folder in its place,
// another user's in a shared folder) is found before the earlier document is
// touched; the message says how to do without it.
TEST_F(CommandLineTest, AScratchFileThatCannotBeRenewedKeepsTheEarlierDocumentByteForByte) {
  // A copy of zerova in a folder of its own, so that its scratch file is the test's alone.
  const fs::path bin = dir_ / "bin", work = dir_ / "work", scratch = bin / "xmlstr.xml";
  fs::permissions(dir_, fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
  fs::create_directory(bin);
  fs::create_directory(work);
  fs::copy_file(ZEROVA_BINARY, bin / "zerova");
  fs::permissions(work, fs::perms::all);
  WriteFile(work / "xmlstructure.xml", "earlier\r\n");
  fs::permissions(work / "xmlstructure.xml", fs::perms::all);
  WriteFile(scratch, "kept");
  fs::permissions(scratch, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  const std::string hint =
      "; the document was left as it was; give -o FILE to write the document "
      "whole, without the scratch file\n";
  ChildSetup setup;
  setup.args = {CopyForAll(kBasic, work)};
  setup.binary = bin / "zerova";
  for (const std::string why : {"the file is read-only and cannot be replaced",
                                "a folder stands where the scratch file belongs"}) {
    const Result r = test::Run(work, setup);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "zerova: " + scratch.string() + ": " + why + hint);
    EXPECT_EQ(ReadFile(work / "xmlstructure.xml"), "earlier\r\n");
    EXPECT_TRUE(!fs::is_regular_file(scratch) || ReadFile(scratch) == "kept");
    fs::remove(scratch);
    fs::create_directory(scratch);
  }
  // Another user's scratch file in a folder open to all, as /tmp is.
  if (::geteuid() != 0) GTEST_SKIP() << "another user's file needs root to make";
  fs::remove(scratch);
  WriteFile(scratch, "");
  fs::permissions(bin, fs::perms::all | fs::perms::sticky_bit);
  setup.user = kNobody;
  const Result r = test::Run(work, setup);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "zerova: " + scratch.string() +
                       ": could not delete the file: Operation not permitted" + hint);
  EXPECT_EQ(ReadFile(work / "xmlstructure.xml"), "earlier\r\n");
}

// A symbolic link in the document's place is never followed, line by line or
// written whole: the file it leads to keeps its bytes, and the run says why.
TEST_F(CommandLineTest, ASymbolicLinkInTheDocumentsPlaceIsRefusedAndItsTargetKept) {
  const fs::path target = dir_ / "precious.txt";
  WriteFile(target, "precious\n");
  fs::create_symlink(target, dir_ / "xmlstructure.xml");
  for (const Args& args : {Args{kBasic}, Args{"-o", "xmlstructure.xml", kBasic}}) {
    const Result r = RunIn(dir_, args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "zerova: " + (dir_ / "xmlstructure.xml").string() +
                         ": a symbolic link stands in the file's place; it is not followed\n");
    EXPECT_EQ(ReadFile(target), "precious\n");
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);
}

// A document whose bytes are not the run's alone to replace: read-only (for
// root too, who could write it), one file under two names (hard links), or
// another user's in a folder open to all (as /tmp). Each is refused before it
// is emptied, in one line saying why and what to do, and keeps its bytes under
// every name; -o writes a new file in its place.
TEST_F(CommandLineTest, ADocumentNotTheRunsAloneToReplaceIsRefusedAndKept) {
  const fs::path document = dir_ / "xmlstructure.xml", other = dir_ / "keep.txt";
  const std::string kept = "; the document was left as it was; ",
                    new_file = ", or give -o FILE to write the document as a new file";
  const struct {
    std::function<void()> make;
    std::string why;
  } rows[] = {
      {[&] { fs::permissions(document, fs::perms::owner_read | fs::perms::others_read); },
       "the file is read-only" + kept + "make it writable (chmod u+w)" + new_file},
      {[&] { fs::create_hard_link(document, other); },
       "the file is also under another name (a hard link), whose bytes writing into it would "
       "change too" +
           kept + "remove the link" + new_file},
      {[&] {
         ASSERT_EQ(::chown(document.c_str(), kNobody, kNobody), 0);
         fs::permissions(dir_, fs::perms::all | fs::perms::sticky_bit);
       },
       "the file is another user's, in a folder open to all" + kept + "ask its owner to remove it" +
           new_file},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    if (&row == &rows[2] && ::geteuid() != 0) GTEST_SKIP() << "another user's file needs root";
    PutEarlierDocument();
    row.make();
    const Result r = RunIn(dir_, {kBasic});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "zerova: " + document.string() + ": " + row.why + "\n");
    EXPECT_EQ(ReadFile(document), "earlier\r\n");
    if (&row == &rows[1]) {
      EXPECT_EQ(RunIn(dir_, {"-o", "xmlstructure.xml", kBasic}).status, 0);
      EXPECT_EQ(ReadFile(document), ReadFile(kBasicDocument));
      EXPECT_EQ(ReadFile(other), "earlier\r\n");
    }
    fs::remove(document);
  }
}

// How `zerova` starts the window from the desktop's menu (--from-menu, perhaps
// with a FILE), in a folder as another user would meet it: a folder the user
// cannot write (mode 0555, and owned by root when the test runs as root) sends it
// home; a writable one keeps it. A FILE is handed on as a full path made before
// the move. The window program is a stand-in, which prints the folder it was
// started in and its arguments (without a display the real one says so:
// tests/window/no_display.sh).
TEST_F(CommandLineTest, FromTheMenuAnUnwritableFolderGivesWayToTheHomeFolder) {
  const fs::path bin = dir_ / "bin", home = dir_ / "home", desk = dir_ / "desk",
                 locked = dir_ / "locked";
  for (const fs::path& folder : {bin, home, desk, locked}) fs::create_directory(folder);
  fs::copy_file(ZEROVA_BINARY, bin / "zerova");
  WriteFile(bin / "zerova-window", "#!/bin/sh\npwd\nfor a; do echo \"$a\"; done\n");
  const fs::perms open = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                         fs::perms::others_read | fs::perms::others_exec;
  fs::permissions(dir_, open);
  fs::permissions(bin / "zerova-window", open);
  fs::permissions(home, fs::perms::all);
  fs::permissions(desk, fs::perms::all);
  fs::permissions(locked, open & ~fs::perms::owner_write);
  const struct {
    fs::path folder, expected;
    std::string file, handed_on;  // the FILE given ("": none), and as the window gets it
  } rows[] = {
      {locked, home, "", ""},
      {desk, desk, "", ""},
      {locked, home, "book.xls", (locked / "book.xls").string()},
      {desk, desk, "../b c.ods", (desk / "../b c.ods").string()},
      {locked, home, "/elsewhere/book.xls", "/elsewhere/book.xls"},
  };
  for (const auto& [folder, expected, file, handed_on] : rows) {
    SCOPED_TRACE(folder / file);
    ChildSetup setup;
    setup.args = {"--from-menu"};
    if (!file.empty()) setup.args.push_back(file);
    setup.env = {"HOME=" + home.string()};
    setup.binary = bin / "zerova";
    setup.user = kNobody;
    ChildProcess child(folder, setup);
    EXPECT_EQ(child.Wait(), 0) << child.err();
    EXPECT_EQ(child.err(), "");
    EXPECT_EQ(child.Out(), expected.string() + "\n" + (file.empty() ? "" : handed_on + "\n"));
  }
  // Without HOME, the home folder is the user's own in the password database.
  const passwd* user = ::getpwuid(::geteuid() == 0 ? kNobody : ::getuid());
  ASSERT_NE(user, nullptr);
  ChildSetup no_home;
  no_home.args = {"--from-menu"};
  no_home.unset = {"HOME"};
  no_home.binary = bin / "zerova";
  no_home.user = kNobody;
  ChildProcess child(locked, no_home);
  child.Wait();
  const std::string home_of_user = user->pw_dir;
  EXPECT_TRUE(child.Out() == home_of_user + "\n" ||
              child.err().starts_with("zerova: " + home_of_user + ": could not change to the "))
      << child.Out() << child.err();
}

}  // namespace
}  // namespace zerova::test
