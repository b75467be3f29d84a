#include "cli/batch.h"

#include <filesystem>
#include <map>

#include "services/error.h"
#include "services/file_system.h"

namespace zerova {

std::vector<BatchItem> PlanBatch(const std::string& outdir, const std::vector<std::string>& files,
                                 std::string* refusal) {
  std::vector<BatchItem> items;
  std::map<std::string, const std::string*> first_with;  // document: the FILE that has it
  for (const std::string& file : files) {
    // stem(): the name without its last extension; a leading dot starts no extension.
    const std::string name = std::filesystem::path(file).stem().string();
    BatchItem item{file, PathInFolder(outdir, name + ".xml")};
    const auto [seen, added] = first_with.emplace(item.document, &file);
    if (!added) {
      *refusal = PrintableText(*seen->second) + " and " + PrintableText(file) +
                 " would both be converted into " + PrintableText(item.document);
      return {};
    }
    items.push_back(std::move(item));
  }
  return items;
}

}  // namespace zerova
