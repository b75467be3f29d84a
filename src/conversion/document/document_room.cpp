#include "conversion/document/document_room.h"

#include <cstdio>

#include "services/error.h"
#include "services/file_system.h"

namespace zerova {

std::string SizeText(std::uint64_t bytes) {
  constexpr const char* kUnits[] = {"bytes", "KB", "MB", "GB", "TB", "PB"};
  if (bytes < 1000) return std::to_string(bytes) + " bytes";
  double value = static_cast<double>(bytes);
  int unit = 0;
  while (value >= 999.5 && unit < 5) {  // what would show as "1000" is the next unit's 1.0
    value /= 1000;
    ++unit;
  }
  char text[32];
  std::snprintf(text, sizeof text, value < 10 ? "%.1f %s" : "%.0f %s", value, kUnits[unit]);
  return text;
}

bool Fits(std::uint64_t bytes, std::uint64_t space, std::uint64_t limit) {
  return (space == FileSystem::kUnknownSpace || bytes <= space) &&
         (limit == FileSystem::kNoLimit || bytes <= limit);
}

void CheckRoom(const std::string& document, std::uint64_t bytes, std::uint64_t space,
               std::uint64_t limit, const std::string& left) {
  if (space != FileSystem::kUnknownSpace && bytes > space) {
    throw FileSystemError(document, "not enough free space for the document: it needs " +
                                        SizeText(bytes) + ", and " + SizeText(space) +
                                        " are free; " + left);
  }
  if (limit != FileSystem::kNoLimit && bytes > limit) {
    throw FileSystemError(document, "the document would be " + SizeText(bytes) +
                                        ", more than the file-size limit of " + SizeText(limit) +
                                        " this program runs under (ulimit -f); " + left);
  }
}

}  // namespace zerova
