#include "support/zip_builder.h"

#include <gsf/gsf-outfile-zip.h>
#include <gsf/gsf-output-memory.h>
#include <zlib.h>

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

std::string Relationships(const std::vector<std::array<std::string, 3>>& rels) {
  std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
      "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
  for (const auto& [id, type, target] : rels) {
    xml += "<Relationship Id=\"" + id + "\" Type=\"" + type + "\" Target=\"" + target + "\"/>";
  }
  return xml + "</Relationships>";
}

namespace {

void Put(std::vector<std::uint8_t>& out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void PutText(std::vector<std::uint8_t>& out, const std::string& text) {
  out.insert(out.end(), text.begin(), text.end());
}

// The fields a local header and a central directory entry share, from "version
// needed" to the name's length: zip64 sizes stand in the extra field.
void PutCommonFields(std::vector<std::uint8_t>& out, const RawZipMember& member,
                     std::size_t extra) {
  Put(out, 45, 2);    // version needed: zip64
  Put(out, 0, 2);     // flags
  Put(out, 8, 2);     // deflated
  Put(out, 0, 2);     // time
  Put(out, 0x21, 2);  // 1980-01-01
  Put(out, member.crc, 4);
  Put(out, 0xFFFFFFFF, 4);  // compressed size: in the extra field
  Put(out, 0xFFFFFFFF, 4);  // size: in the extra field
  Put(out, member.path.size(), 2);
  Put(out, extra, 2);
}

}  // namespace

RawZipMember Deflated(std::string path, const std::string& contents) {
  z_stream z{};
  deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
  std::string data(deflateBound(&z, contents.size()), '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(contents.data()));
  z.avail_in = static_cast<uInt>(contents.size());
  z.next_out = reinterpret_cast<Bytef*>(data.data());
  z.avail_out = static_cast<uInt>(data.size());
  deflate(&z, Z_FINISH);
  data.resize(z.total_out);
  deflateEnd(&z);
  const auto crc =
      crc32(0, reinterpret_cast<const Bytef*>(contents.data()), static_cast<uInt>(contents.size()));
  return {std::move(path), std::move(data), contents.size(), static_cast<std::uint32_t>(crc)};
}

std::vector<std::uint8_t> RawZip(const std::vector<RawZipMember>& members, std::size_t size) {
  std::vector<std::uint8_t> out, directory;
  for (const RawZipMember& member : members) {
    const std::size_t offset = out.size();
    Put(out, 0x04034b50, 4);
    PutCommonFields(out, member, 20);
    PutText(out, member.path);
    Put(out, 1, 2), Put(out, 16, 2), Put(out, member.declared_size, 8);
    Put(out, member.data.size(), 8);
    PutText(out, member.data);

    Put(directory, 0x02014b50, 4);
    Put(directory, 45, 2);  // made by
    PutCommonFields(directory, member, 28);
    Put(directory, 0, 2), Put(directory, 0, 2), Put(directory, 0, 2);  // comment, disk, attributes
    Put(directory, 0, 4), Put(directory, 0xFFFFFFFF, 4);               // attributes, offset
    PutText(directory, member.path);
    Put(directory, 1, 2), Put(directory, 24, 2), Put(directory, member.declared_size, 8);
    Put(directory, member.data.size(), 8), Put(directory, offset, 8);
  }
  const std::size_t directory_at = out.size();
  out.insert(out.end(), directory.begin(), directory.end());
  const std::size_t comment = size > out.size() + 22 ? size - out.size() - 22 : 0;
  Put(out, 0x06054b50, 4);
  Put(out, 0, 2), Put(out, 0, 2);
  Put(out, members.size(), 2), Put(out, members.size(), 2);
  Put(out, directory.size(), 4), Put(out, directory_at, 4);
  Put(out, comment, 2);
  out.insert(out.end(), comment, ' ');
  return out;
}

}  // namespace zerova::test
