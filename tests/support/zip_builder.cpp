#include "support/zip_builder.h"

#include <gsf/gsf-outfile-zip.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-output.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>

namespace zerova::testing {
namespace {

struct Unref {
  void operator()(void* object) const { g_object_unref(object); }
};
using OutputPtr = std::unique_ptr<GsfOutput, Unref>;

}  // namespace

ZipBuilder& ZipBuilder::Add(std::string path, std::string contents, bool stored) {
  members_.push_back({std::move(path), std::move(contents), stored});
  return *this;
}

ZipBuilder& ZipBuilder::Remove(const std::string& path) {
  std::erase_if(members_, [&](const Member& member) { return member.path == path; });
  return *this;
}

std::vector<std::uint8_t> ZipBuilder::Bytes() const {
  OutputPtr memory(gsf_output_memory_new());
  GError* error = nullptr;
  OutputPtr zip(GSF_OUTPUT(gsf_outfile_zip_new(memory.get(), &error)));
  EXPECT_NE(zip, nullptr) << (error != nullptr ? error->message : "");
  if (zip == nullptr) return {};
  // Folders by path ("xl", "xl/worksheets"), closed after their members.
  std::map<std::string, OutputPtr> folders;
  std::vector<std::string> folder_order;
  for (const Member& member : members_) {
    GsfOutfile* parent = GSF_OUTFILE(zip.get());
    std::size_t start = 0;
    for (std::size_t slash; (slash = member.path.find('/', start)) != std::string::npos;
         start = slash + 1) {
      const std::string folder = member.path.substr(0, slash);
      if (folders.count(folder) == 0) {
        folders[folder].reset(
            gsf_outfile_new_child(parent, member.path.substr(start, slash - start).c_str(), TRUE));
        folder_order.push_back(folder);
      }
      parent = GSF_OUTFILE(folders[folder].get());
    }
    OutputPtr child(gsf_outfile_new_child_full(
        parent, member.path.substr(start).c_str(), FALSE, "compression-level",
        member.stored ? GSF_ZIP_STORED : GSF_ZIP_DEFLATED, nullptr));
    gsf_output_write(child.get(), member.contents.size(),
                     reinterpret_cast<const guint8*>(member.contents.data()));
    gsf_output_close(child.get());
  }
  std::reverse(folder_order.begin(), folder_order.end());
  for (const std::string& folder : folder_order) gsf_output_close(folders[folder].get());
  gsf_output_close(zip.get());
  const guint8* bytes = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(memory.get()));
  const auto size = static_cast<std::size_t>(gsf_output_size(memory.get()));
  return std::vector<std::uint8_t>(bytes, bytes + size);
}

}  // namespace zerova::testing
