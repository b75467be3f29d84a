// CommandLineOptions: what `zerova [OPTION]... FILE...` asks for, parsed the GNU
// way (getopt_long): "--opt=VAL" and "--opt VAL" alike, long options shortened
// to any unique prefix, short options bundled ("-qo out.xml"), options and FILEs
// in any order, "--" ending the options, and "-" a FILE (standard input).
#ifndef ZEROVA_CLI_OPTIONS_H_
#define ZEROVA_CLI_OPTIONS_H_

#include <string>
#include <vector>

#include "conversion/sheet_choice.h"
#include "services/cell_address.h"

namespace zerova {

// FILE and -o's value that stand for standard input and standard output.
inline constexpr char kStandardStream[] = "-";

struct CommandLineOptions {
  enum class Action { kConvert, kListSheets, kHelp, kVersion };

  Action action = Action::kConvert;
  std::vector<std::string> files;  // the FILE operands, in order
  std::string output;              // -o: "" the default document; "-" standard output
  std::string outdir;              // --outdir: "" none
  SheetRequest sheet;              // --sheet, --sheet-number: by default the active sheet
  bool all_sheets = false;         // --all-sheets
  CellPlace first_cell;            // --first-cell: A1 by default
  bool first_filled_cell = false;  // --first-cell=auto
  bool fail_empty = false;         // --fail-empty
  bool keep_extension = false;     // --keep-extension
  std::string password_file;       // --password-file: "" none
  bool quiet = false;              // -q

  // Set when the command line is refused: the reason, one line without the
  // program's name ("unknown option '--frobnicate'"). Nothing else is then set.
  std::string usage_error;
};

// Parses `argv` (argc entries, the program's name first). --help and --version
// end the parsing where they stand, whatever follows; anything refused before
// them is the usage error. A command line that converts or lists is checked
// whole: a FILE is given; several FILEs only with --outdir; -o and --outdir not
// both; --all-sheets and --keep-extension only with --outdir; one way to choose
// the sheet; --list-sheets with one FILE and nothing that writes a document.
// May reorder argv's entries, as getopt_long does.
CommandLineOptions ParseCommandLine(int argc, char** argv);

}  // namespace zerova

#endif  // ZEROVA_CLI_OPTIONS_H_
