#include "formats/common/ole2_container.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-input.h>

#include <algorithm>
#include <array>

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

// Bytes read from a stream per call.
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

}  // namespace

struct Ole2Container::Handles {
  InputPtr source;
  InfilePtr root;
};

bool LooksLikeOle2(std::span<const std::uint8_t> bytes) {
  static constexpr std::array<std::uint8_t, 8> kSignature = {0xD0, 0xCF, 0x11, 0xE0,
                                                             0xA1, 0xB1, 0x1A, 0xE1};
  return bytes.size() >= kSignature.size() &&
         std::equal(kSignature.begin(), kSignature.end(), bytes.begin());
}

Ole2Container::Ole2Container(std::span<const std::uint8_t> bytes, std::string file)
    : bytes_(bytes), file_(std::move(file)), handles_(std::make_unique<Handles>()) {
  QuietGLibLog();
  ClearLastGLibMessage();
  handles_->source.reset(
      gsf_input_memory_new(bytes.data(), static_cast<gsf_off_t>(bytes.size()), FALSE));
  if (handles_->source == nullptr) Damaged(file_, "cannot open the compound file");
  GError* raw_error = nullptr;
  handles_->root.reset(gsf_infile_msole_new(handles_->source.get(), &raw_error));
  GErrorPtr error(raw_error);
  if (handles_->root == nullptr) {
    const std::string detail = error != nullptr ? OneLine(error->message) : LastGLibMessage();
    throw ReadError(file_, WithDetail("damaged OLE2 file: cannot read its directory", detail));
  }
}

Ole2Container::~Ole2Container() = default;

int Ole2Container::Find(const char* name) const {
  GsfInfile* root = handles_->root.get();
  const int count = gsf_infile_num_children(root);
  for (int i = 0; i < count; ++i) {
    const char* child = gsf_infile_name_by_index(root, i);
    if (child != nullptr && g_ascii_strcasecmp(child, name) == 0) return i;
  }
  return -1;
}

bool Ole2Container::Has(const char* name) const { return Find(name) >= 0; }

std::vector<std::uint8_t> Ole2Container::Read(const char* name) const {
  const int index = Find(name);
  if (index < 0) throw ReadError(file_, std::string("the OLE2 file has no ") + name + " stream");
  ClearLastGLibMessage();
  InputPtr stream(gsf_infile_child_by_index(handles_->root.get(), index));
  if (stream == nullptr) Damaged(file_, std::string("cannot open the ") + name + " stream");
  if (GSF_IS_INFILE(stream.get()) && gsf_infile_num_children(GSF_INFILE(stream.get())) >= 0) {
    throw ReadError(file_, std::string("damaged OLE2 file: ") + name + " is not a stream");
  }
  // A stream's sectors are stored once each, so no real stream outgrows its file.
  const gsf_off_t size = gsf_input_size(stream.get());
  if (size < 0 || static_cast<std::uint64_t>(size) > bytes_.size()) {
    Damaged(file_, std::string("the ") + name + " stream claims more bytes than the file holds");
  }
  std::vector<std::uint8_t> data(static_cast<std::size_t>(size));
  for (std::size_t done = 0; done < data.size();) {
    const std::size_t n = std::min(kChunk, data.size() - done);
    if (gsf_input_read(stream.get(), n, data.data() + done) == nullptr) {
      Damaged(file_, std::string("cannot read the ") + name + " stream");
    }
    done += n;
  }
  return data;
}

std::vector<std::uint8_t> ReadWorkbookStream(std::span<const std::uint8_t> bytes,
                                             const std::string& file) {
  const Ole2Container container(bytes, file);
  if (container.Has("Workbook")) return container.Read("Workbook");
  if (container.Has("Book")) return container.Read("Book");
  throw ReadError(file, "not an Excel workbook: the OLE2 file has no Workbook or Book stream");
}

}  // namespace zerova
