#include "cli/options.h"

#include <getopt.h>

#include <charconv>
#include <cstring>
#include <iterator>

#include "services/error.h"

namespace zerova {
namespace {

// getopt_long's answers for the options without a short form.
enum LongOnly : int {
  kOutdir = 256,
  kSheet,
  kSheetNumber,
  kAllSheets,
  kFirstCell,
  kFailEmpty,
  kKeepExtension,
  kListSheets,
  kPasswordFile,
  kVersion,
  kFromMenu,
};

constexpr option kLongOptions[] = {
    {"output", required_argument, nullptr, 'o'},
    {"outdir", required_argument, nullptr, kOutdir},
    {"sheet", required_argument, nullptr, kSheet},
    {"sheet-number", required_argument, nullptr, kSheetNumber},
    {"all-sheets", no_argument, nullptr, kAllSheets},
    {"first-cell", required_argument, nullptr, kFirstCell},
    {"fail-empty", no_argument, nullptr, kFailEmpty},
    {"keep-extension", no_argument, nullptr, kKeepExtension},
    {"list-sheets", no_argument, nullptr, kListSheets},
    {"password-file", required_argument, nullptr, kPasswordFile},
    {"quiet", no_argument, nullptr, 'q'},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, kVersion},
    {"from-menu", no_argument, nullptr, kFromMenu},
    {nullptr, 0, nullptr, 0},
};

// ':' first: a missing value is told apart from an unknown option.
constexpr char kShortOptions[] = ":o:qh";

// The option as the user wrote it, for a message: "--outp" of "--outp=x", or
// "-o" when `letter` is a short option's (bundled or not).
std::string Written(const char* arg, int letter) {
  if (std::strncmp(arg, "--", 2) == 0)
    return PrintableText(std::string(arg, std::strcspn(arg, "=")));
  return std::string("-") + static_cast<char>(letter);
}

// The reason getopt_long refused `arg` with '?' (its optopt is `letter`).
std::string Refusal(const char* arg, int letter) {
  if (std::strncmp(arg, "--", 2) != 0) {
    return std::string("unknown option '-") +
           PrintableText(std::string(1, static_cast<char>(letter))) + "'";
  }
  const std::string written = Written(arg, letter);
  if (letter != 0) return "option '" + written + "' takes no argument";
  std::string matches;
  int count = 0;
  for (const option* o = kLongOptions; o->name != nullptr; ++o) {
    if (std::strncmp(o->name, arg + 2, written.size() - 2) != 0) continue;
    matches += std::string(count++ == 0 ? "" : " or ") + "--" + o->name;
  }
  if (count > 1) return "ambiguous option '" + written + "' (" + matches + ")";
  return "unknown option '" + written + "'";
}

// What is wrong with a command line that converts or lists, or "".
std::string Inconsistency(const CommandLineOptions& o) {
  if (o.files.empty()) return "no FILE given";
  if (!o.output.empty() && !o.outdir.empty())
    return "--output and --outdir cannot be used together";
  const bool sheet_chosen = o.sheet.by != SheetRequest::By::kActive;
  if (o.action == CommandLineOptions::Action::kListSheets) {
    if (!o.output.empty() || !o.outdir.empty() || sheet_chosen || o.all_sheets ||
        o.first_cell != CellPlace{} || o.first_filled_cell || o.keep_extension || o.fail_empty) {
      return "--list-sheets writes no document and takes no other option but --password-file";
    }
    if (o.files.size() > 1) return "--list-sheets takes one FILE";
    return "";
  }
  if (o.all_sheets && o.outdir.empty()) return "--all-sheets needs --outdir DIR";
  if (o.all_sheets && sheet_chosen) return "--all-sheets converts every sheet: no --sheet";
  if (o.keep_extension && o.outdir.empty()) return "--keep-extension needs --outdir DIR";
  if (o.files.size() > 1 && o.outdir.empty()) return "several FILEs need --outdir DIR";
  if (!o.outdir.empty()) {
    for (const std::string& file : o.files) {
      if (file == kStandardStream) return "--outdir has no NAME for standard input ('-')";
    }
  }
  return "";
}

// Stores the sheet asked for by --sheet (`by_number` false) or --sheet-number;
// returns a usage error, or "".
std::string StoreSheet(bool by_number, const std::string& value, SheetRequest& sheet) {
  if (sheet.by != SheetRequest::By::kActive) return "give --sheet or --sheet-number once";
  if (!by_number) {
    sheet = {SheetRequest::By::kNameOrNumber, value, 0};
    return "";
  }
  std::size_t number = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
  if (error != std::errc() || end != value.data() + value.size() || number == 0) {
    return "--sheet-number takes a sheet's number from 1, not '" + PrintableText(value) + "'";
  }
  sheet = {SheetRequest::By::kNumber, "", number};
  return "";
}

// Stores the value of option `letter` in `o`; returns a usage error, or "".
std::string Store(int letter, const char* value, CommandLineOptions& o) {
  const option* named = kLongOptions;
  while (named->val != letter) ++named;
  if (*value == '\0') return std::string("option '--") + named->name + "' needs a value";
  switch (letter) {
    case kSheet:
    case kSheetNumber:
      return StoreSheet(letter == kSheetNumber, value, o.sheet);
    case kFirstCell:
      o.first_filled_cell = std::strcmp(value, "auto") == 0;
      if (!o.first_filled_cell &&
          !ParseCellReference(value, &o.first_cell.row, &o.first_cell.column)) {
        return "--first-cell takes a cell such as B2, or auto, not '" + PrintableText(value) + "'";
      }
      return "";
    default:
      break;
  }
  std::string* target = letter == 'o'       ? &o.output
                        : letter == kOutdir ? &o.outdir
                                            : &o.password_file;
  *target = value;
  return "";
}

CommandLineOptions Only(CommandLineOptions::Action action) {
  CommandLineOptions o;
  o.action = action;
  return o;
}

CommandLineOptions Refused(std::string reason) {
  CommandLineOptions o;
  o.usage_error = std::move(reason);
  return o;
}

}  // namespace

CommandLineOptions ParseCommandLine(int argc, char** argv) {
  CommandLineOptions o;
  optind = 0;  // a fresh start, as glibc counts it
  opterr = 0;  // the messages are ours
  for (;;) {
    const int letter = ::getopt_long(argc, argv, kShortOptions, kLongOptions, nullptr);
    if (letter == -1) break;
    const char* arg = argv[optind - 1];
    std::string error;
    switch (letter) {
      case 'h':
        return Only(CommandLineOptions::Action::kHelp);
      case kVersion:
        return Only(CommandLineOptions::Action::kVersion);
      case 'q':
        o.quiet = true;
        break;
      case kListSheets:
        o.action = CommandLineOptions::Action::kListSheets;
        break;
      case kAllSheets:
        o.all_sheets = true;
        break;
      case kKeepExtension:
        o.keep_extension = true;
        break;
      case kFailEmpty:
        o.fail_empty = true;
        break;
      case kFromMenu:
        error = "--from-menu must come first, followed by one FILE at most";
        break;
      case ':':
        error = "option '" + Written(arg, optopt) + "' needs a value";
        break;
      case '?':
        error = Refusal(arg, optopt);
        break;
      default:
        error = Store(letter, optarg, o);
        break;
    }
    if (!error.empty()) return Refused(std::move(error));
  }
  o.files.assign(argv + optind, argv + argc);
  o.usage_error = Inconsistency(o);
  return o;
}

}  // namespace zerova
