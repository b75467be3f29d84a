#include "support/zip_builder.h"

#include <gsf/gsf-outfile-zip.h>
#include <gsf/gsf-output-memory.h>

namespace zerova::test {

std::vector<std::uint8_t> Zip(const ZipMembers& members) {
  GsfOutput* memory = gsf_output_memory_new();
  GsfOutfile* zip = gsf_outfile_zip_new(memory, nullptr);
  // A fixed time stamp, so the same members always give the same bytes.
  GDateTime* stamp = g_date_time_new_utc(2024, 1, 1, 0, 0, 0);
  for (const auto& [path, contents] : members) {
    // A name with slashes is written as it is, so no folder entries are needed.
    GsfOutput* member =
        gsf_outfile_new_child_full(zip, path.c_str(), FALSE, "modtime", stamp, nullptr);
    gsf_output_write(member, contents.size(), reinterpret_cast<const guint8*>(contents.data()));
    gsf_output_close(member);
    g_object_unref(member);
  }
  g_date_time_unref(stamp);
  gsf_output_close(GSF_OUTPUT(zip));
  g_object_unref(zip);
  const guint8* bytes = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(memory));
  std::vector<std::uint8_t> result(bytes, bytes + gsf_output_size(memory));
  g_object_unref(memory);
  return result;
}

}  // namespace zerova::test
