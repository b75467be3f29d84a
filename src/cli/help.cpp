#include "cli/help.h"

#include "formats/registry.h"

namespace zerova {
namespace {

constexpr const char* kUsage =
    "Usage: zerova [OPTION]... FILE...\n"
    "  or:  zerova                 open the window\n"
    "  or:  zerova --from-menu [FILE]  open the window as the desktop starts it\n"
    "\n"
    "Turns one worksheet of each spreadsheet FILE into an XML document: row 1 holds\n"
    "the node labels, and under each label, down to the first empty cell, stand its\n"
    "values. The document is ./xmlstructure.xml unless an option says otherwise.\n"
    "With FILE -, the spreadsheet is read from standard input.\n"
    "\n"
    "  -o, --output=FILE       write the document to FILE; with -, to standard\n"
    "                            output (and nothing else goes there)\n"
    "      --outdir=DIR        convert each FILE into DIR/NAME.xml, NAME being its\n"
    "                            name without the last extension; DIR must exist;\n"
    "                            a failing FILE does not stop the others\n"
    "      --sheet=NAME|N      convert the sheet named NAME, else the Nth sheet\n"
    "                            (from 1); by default the active sheet\n"
    "      --list-sheets       list the sheets of FILE: number, TAB, name, and TAB\n"
    "                            active, or TAB and the kind of a sheet that is no\n"
    "                            worksheet; converts nothing\n"
    "      --password-file=PWFILE\n"
    "                          the password of a password-protected FILE is\n"
    "                            PWFILE's first line\n"
    "  -q, --quiet             print no success line\n"
    "  -h, --help              show this help and exit\n"
    "      --version           show the version and exit\n"
    "\n"
    "Passwords: Excel's default password is tried first; then PWFILE, else the\n"
    "environment variable ZEROVA_PASSWORD, else, on a terminal, zerova asks (three\n"
    "tries, no echo). A password is never taken from the command line itself.\n"
    "\n"
    "Before each line of a document, zerova renews an empty scratch file,\n"
    "xmlstr.xml, in its own folder, unless the user may not write there or it is\n"
    "a system folder (under /usr, /bin, /sbin or /opt).\n"
    "\n"
    "On a terminal a long run shows its progress on stderr. SIGINT, SIGTERM and\n"
    "SIGHUP stop it: stopped while reading, an earlier document stays untouched;\n"
    "while writing, the incomplete document is removed. A second signal ends the\n"
    "program at once, removing the incomplete document too.\n"
    "\n"
    "Exit status: 0 success; 1 failure (one line on stderr per failing FILE);\n"
    "2 usage error; 128+N when signal N stopped it (129 SIGHUP, 130 SIGINT,\n"
    "143 SIGTERM).\n"
    "\n"
    "Formats, each recognised by its content, whatever the file's name:\n";

}  // namespace

std::string HelpText() { return kUsage + FormatHelp(); }

}  // namespace zerova
