#include "cli/batch.h"

#include <filesystem>
#include <map>
#include <set>

#include "services/error.h"
#include "services/file_system.h"

namespace zerova {
namespace {

// The most bytes of a sheet's name kept in a file name; with NAME and ".xml"
// it stays within the 255 bytes a file name may have.
constexpr std::size_t kMostSheetNameBytes = 200;

// `text` in ASCII lower case, for names that must differ in more than case.
std::string Lowered(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

// `name` made safe for a file name, before it is made unique.
std::string SafeName(const std::string& name) {
  std::string safe;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    safe.push_back(c == '/' || c == '\\' || byte < 0x20 || byte == 0x7F ? '_' : c);
  }
  if (safe.size() > kMostSheetNameBytes) {
    std::size_t end = kMostSheetNameBytes;
    while (end > 0 && (static_cast<unsigned char>(safe[end]) & 0xC0) == 0x80) --end;
    safe.resize(end);
  }
  if (safe.empty()) return "_";
  if (safe[0] == '.') safe[0] = '_';
  return safe;
}

}  // namespace

std::vector<BatchItem> PlanBatch(const std::string& outdir, const std::vector<std::string>& files,
                                 bool keep_extension, std::string* refusal) {
  std::vector<BatchItem> items;
  std::map<std::string, const std::string*> first_with;  // stem: the FILE that has it
  std::string clashes;
  bool extension_parts = false;  // --keep-extension would part some clash
  for (const std::string& file : files) {
    const std::filesystem::path path(file);
    // stem(): the name without its last extension; a leading dot starts no extension.
    const std::string name = keep_extension ? path.filename().string() : path.stem().string();
    BatchItem item{file, PathInFolder(outdir, name)};
    const auto [seen, added] = first_with.emplace(item.stem, &file);
    if (!added) {
      if (!clashes.empty()) clashes += "; ";
      clashes += PrintableText(*seen->second) + " and " + PrintableText(file) +
                 " would both be converted into " + PrintableText(item.stem) + ".xml";
      extension_parts |= std::filesystem::path(*seen->second).filename() != path.filename();
    }
    items.push_back(std::move(item));
  }
  if (clashes.empty()) return items;
  *refusal = clashes + (extension_parts ? "; give --keep-extension to keep both" : "");
  return {};
}

std::vector<std::string> SheetFileNames(const std::vector<SheetInfo>& sheets) {
  std::vector<std::string> names;
  std::set<std::string> taken;  // in lower case
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    std::string name = SafeName(sheets[i].name);
    if (!taken.insert(Lowered(name)).second) {
      name += "-" + std::to_string(i + 1);
      taken.insert(Lowered(name));
    }
    names.push_back(std::move(name));
  }
  return names;
}

}  // namespace zerova
