#include "cli/help.h"

#include <cstddef>
#include <string>
#include <string_view>

#include "formats/registry.h"
#include "services/output_stream.h"
#include "services/paths.h"
#include "services/stop_signals.h"

namespace zerova {
namespace {

// Prose ends before the 80th column; the options were laid out by hand.
constexpr std::size_t kColumns = 79;
constexpr std::string_view kOutputOption = "  -o, --output=FILE       ";
constexpr std::size_t kOptionIndent = 28;

constexpr char kHead[] =
    "Usage: zerova [OPTION]... FILE...\n"
    "  or:  zerova                 open the window\n"
    "  or:  zerova --from-menu [FILE]  open the window as the desktop starts it\n"
    "\n"
    "Turns one worksheet of each spreadsheet FILE into an XML document: row 1 holds\n"
    "the node labels, and under each label, down to the first empty cell, stand its\n"
    "values. With FILE -, the spreadsheet is read from standard input.\n"
    "\n"
    "By default the document is ./xmlstructure.xml, written a line at a time (each\n"
    "line appended with its own open and close, so the file holds exactly the lines\n"
    "written so far). A document named with -o or --outdir is written whole and put\n"
    "in place at once, typically tens to hundreds of times faster on big sheets; an\n"
    "earlier file of that name stays as it is until then.\n"
    "\n";

constexpr char kOptions[] =
    "      --outdir=DIR        convert each FILE into DIR/NAME.xml, NAME being its\n"
    "                            name without the last extension; DIR is made when\n"
    "                            missing; a name taken already gets -2, -3, ... and\n"
    "                            a note; a failing FILE does not stop the others\n"
    "      --keep-extension    with --outdir, name documents NAME.EXT.xml\n"
    "      --all-sheets        with --outdir, convert every worksheet of each FILE\n"
    "                            into DIR/NAME.SHEET.xml (see the man page)\n"
    "      --sheet=NAME|N      convert the sheet named NAME (else differing only in\n"
    "                            case), else the Nth sheet; by default the active one\n"
    "      --sheet-number=N    convert the Nth sheet (from 1), whatever the names\n"
    "      --first-cell=CELL   the table's first label stands in CELL (B2, say), not\n"
    "                            in A1; with auto, in the sheet's first filled cell\n"
    "                            (row by row)\n"
    "      --fail-empty        a document without nodes is a failure (exit status 3),\n"
    "                            though it is written\n"
    "      --list-sheets       list the sheets of FILE: number, TAB, name, then TAB\n"
    "                            active, TAB and the kind of a sheet that is no\n"
    "                            worksheet, TAB hidden or very hidden; converts\n"
    "                            nothing\n"
    "      --password-file=PWFILE\n"
    "                          the password of a password-protected FILE is\n"
    "                            PWFILE's first line\n"
    "  -q, --quiet             print no success line and no batch count\n"
    "  -h, --help              show this help and exit\n"
    "      --version           show the version and exit\n"
    "\n"
    "Passwords: Excel's default password is tried first; then PWFILE, else the\n"
    "environment variable ZEROVA_PASSWORD, else, on a terminal, zerova asks (three\n"
    "tries, no echo). A password is never taken from the command line itself.\n"
    "\n";

constexpr char kNotes[] =
    "Notes on what a document does not show (cells left out, no nodes) go to\n"
    "stderr, each naming the document, even with -q.\n"
    "\n";

constexpr char kFormats[] = "Formats, each recognised by its content, whatever the file's name:\n";

// `text` broken at spaces into lines of at most kColumns: the first after
// `first`, the others after `indent` spaces; a blank line after it when
// `paragraph`. A '~' joins two words that stay on one line, and is a space.
std::string Wrapped(std::string_view first, std::string_view text, std::size_t indent = 0,
                    bool paragraph = true) {
  std::string out(first);
  std::size_t column = first.size();
  while (!text.empty()) {
    const std::size_t end = text.find(' ');
    const std::string_view word = text.substr(0, end);
    if (column > indent && column + 1 + word.size() > kColumns) {
      out += '\n';
      out.append(indent, ' ');
      column = indent;
    } else if (column > indent) {
      out += ' ';
      ++column;
    }
    for (const char c : word) out += c == '~' ? ' ' : c;
    column += word.size();
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
  }
  return out + (paragraph ? "\n\n" : "\n");
}

// What differs by platform: where a document may go as a stream, the system
// folders, how a run is stopped.
std::string PlatformOptions() {
  return Wrapped(kOutputOption,
                 std::string("write the document to FILE; with -, ") + StreamPlacesNamed() +
                     ", as a stream (nothing else goes to standard output then)",
                 kOptionIndent, false);
}

std::string PlatformParagraphs() {
  const StopSignalsNamed stops = NameStopSignals();
  return Wrapped("",
                 std::string("Before each line of the default document, zerova renews an empty "
                             "scratch file, xmlstr.xml, in its own folder, unless the user may not "
                             "write there or it is a~system~folder (") +
                     SystemFoldersNamed() + ").") +
         Wrapped("", std::string("On a terminal a long run shows its progress on stderr. ") +
                         stops.all +
                         " stop it: stopped while reading, an earlier document stays untouched; "
                         "while writing, the incomplete document is removed, and a document "
                         "written whole leaves the earlier one as it was. A second " +
                         stops.second + " ends the program at once, still cleaning up.");
}

std::string ExitStatuses() {
  return Wrapped("",
                 std::string("Exit status: 0 success; 1 failure (one line on stderr per failing "
                             "FILE); 2~usage~error; 3~with~--fail-empty, a document without nodes "
                             "(and no failure); ") +
                     NameStopSignals().statuses + ".");
}

}  // namespace

std::string HelpText() {
  return kHead + PlatformOptions() + kOptions + PlatformParagraphs() + kNotes + ExitStatuses() +
         kFormats + FormatHelp();
}

}  // namespace zerova
