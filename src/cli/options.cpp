#include "cli/options.h"

#include <getopt.h>

#include <cstring>
#include <iterator>

#include "services/error.h"

namespace zerova {
namespace {

// getopt_long's answers for the options without a short form.
enum LongOnly : int {
  kOutdir = 256,
  kSheet,
  kListSheets,
  kPasswordFile,
  kVersion,
  kFromMenu,
};

constexpr option kLongOptions[] = {
    {"output", required_argument, nullptr, 'o'},
    {"outdir", required_argument, nullptr, kOutdir},
    {"sheet", required_argument, nullptr, kSheet},
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
  if (o.action == CommandLineOptions::Action::kListSheets) {
    if (!o.output.empty() || !o.outdir.empty() || !o.sheet.empty()) {
      return "--list-sheets writes no document and takes no --output, --outdir or --sheet";
    }
    if (o.files.size() > 1) return "--list-sheets takes one FILE";
    return "";
  }
  if (o.files.size() > 1 && o.outdir.empty()) return "several FILEs need --outdir DIR";
  if (!o.outdir.empty()) {
    for (const std::string& file : o.files) {
      if (file == kStandardStream) return "--outdir has no NAME for standard input ('-')";
    }
  }
  return "";
}

// Stores the value of option `letter` in `o`; returns a usage error, or "".
std::string Store(int letter, const char* value, CommandLineOptions& o) {
  const option* named = kLongOptions;
  while (named->val != letter) ++named;
  if (*value == '\0') return std::string("option '--") + named->name + "' needs a value";
  std::string* target = letter == 'o'       ? &o.output
                        : letter == kOutdir ? &o.outdir
                        : letter == kSheet  ? &o.sheet
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
