#include "formats/common/ole2_container.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-input.h>

#include <algorithm>
#include <array>
#include <memory>

#include "formats/common/glib_log.h"
#include "services/error.h"

namespace zerova {
namespace {

struct GObjectUnref {
  void operator()(void* object) const { g_object_unref(object); }
};
struct GErrorFree {
  void operator()(GError* error) const { g_error_free(error); }
};
using InputPtr = std::unique_ptr<GsfInput, GObjectUnref>;
using InfilePtr = std::unique_ptr<GsfInfile, GObjectUnref>;
using GErrorPtr = std::unique_ptr<GError, GErrorFree>;

// Bytes read from the stream per call.
constexpr std::size_t kChunk = 64 * 1024;

// "what", followed by GLib's own account of the fault when it gave one.
std::string WithDetail(std::string what, const std::string& detail) {
  if (!detail.empty()) {
    what.append(" (");
    what.append(detail);
    what.push_back(')');
  }
  return what;
}

[[noreturn]] void Damaged(const std::string& file, const std::string& what) {
  throw ReadError(file, WithDetail("damaged OLE2 file: " + what, LastGLibMessage()));
}

// The index of the root child named `name` ignoring case, or -1.
int FindChild(GsfInfile* root, const char* name) {
  const int count = gsf_infile_num_children(root);
  for (int i = 0; i < count; ++i) {
    const char* child = gsf_infile_name_by_index(root, i);
    if (child != nullptr && g_ascii_strcasecmp(child, name) == 0) return i;
  }
  return -1;
}

}  // namespace

bool LooksLikeOle2(std::span<const std::uint8_t> bytes) {
  static constexpr std::array<std::uint8_t, 8> kSignature = {0xD0, 0xCF, 0x11, 0xE0,
                                                             0xA1, 0xB1, 0x1A, 0xE1};
  return bytes.size() >= kSignature.size() &&
         std::equal(kSignature.begin(), kSignature.end(), bytes.begin());
}

std::vector<std::uint8_t> ReadWorkbookStream(std::span<const std::uint8_t> bytes,
                                             const std::string& file) {
  QuietGLibLog();
  ClearLastGLibMessage();

  InputPtr source(gsf_input_memory_new(bytes.data(), static_cast<gsf_off_t>(bytes.size()), FALSE));
  if (source == nullptr) Damaged(file, "cannot open the compound file");
  GError* raw_error = nullptr;
  InfilePtr root(gsf_infile_msole_new(source.get(), &raw_error));
  GErrorPtr error(raw_error);
  if (root == nullptr) {
    const std::string detail = error != nullptr ? OneLine(error->message) : LastGLibMessage();
    throw ReadError(file, WithDetail("damaged OLE2 file: cannot read its directory", detail));
  }

  int index = FindChild(root.get(), "Workbook");
  if (index < 0) index = FindChild(root.get(), "Book");
  if (index < 0) {
    throw ReadError(file, "not an Excel workbook: the OLE2 file has no Workbook or Book stream");
  }
  InputPtr stream(gsf_infile_child_by_index(root.get(), index));
  if (stream == nullptr) Damaged(file, "cannot open the workbook stream");

  // A stream's sectors are stored once each, so no real stream outgrows its file.
  const gsf_off_t size = gsf_input_size(stream.get());
  if (size < 0 || static_cast<std::uint64_t>(size) > bytes.size()) {
    Damaged(file, "the workbook stream claims more bytes than the file holds");
  }
  std::vector<std::uint8_t> data(static_cast<std::size_t>(size));
  for (std::size_t done = 0; done < data.size();) {
    const std::size_t n = std::min(kChunk, data.size() - done);
    if (gsf_input_read(stream.get(), n, data.data() + done) == nullptr) {
      Damaged(file, "cannot read the workbook stream");
    }
    done += n;
  }
  return data;
}

}  // namespace zerova
