#include "formats/containers/ole2_container.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-input.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <utility>

#include "formats/containers/glib_log.h"
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

// The stream's `count` bytes where they stand in `source`, the compound file's
// bytes, or nothing when its sectors do not follow each other there. Read
// without a buffer of ours, libgsf answers a view of the source's own bytes for
// each piece whose sectors are adjacent; the stream lies in place when every
// piece continues where the one before ended.
std::optional<std::span<const std::uint8_t>> ViewInPlace(GsfInput* stream, std::size_t count,
                                                         std::span<const std::uint8_t> source) {
  const auto begin = reinterpret_cast<std::uintptr_t>(source.data());
  std::uintptr_t first = 0;
  for (std::size_t done = 0; done < count;) {
    const std::size_t n = std::min(kChunk, count - done);
    const guint8* piece = gsf_input_read(stream, n, nullptr);
    if (piece == nullptr) return std::nullopt;  // the copy's read names the fault
    const auto at = reinterpret_cast<std::uintptr_t>(piece);
    if (done == 0) first = at;
    if (at != first + done || at < begin || at - begin > source.size() - n) return std::nullopt;
    done += n;
  }
  return std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(first), count);
}

}  // namespace

WorkbookStream::WorkbookStream(std::vector<std::uint8_t> copy)
    : copy_(std::move(copy)), bytes_(copy_), is_copy_(true) {}
WorkbookStream::WorkbookStream(WorkbookStream&&) noexcept = default;
WorkbookStream& WorkbookStream::operator=(WorkbookStream&&) noexcept = default;
WorkbookStream::~WorkbookStream() = default;

std::span<std::uint8_t> WorkbookStream::Writable() {
  if (!is_copy_) {
    copy_.assign(bytes_.begin(), bytes_.end());
    bytes_ = copy_;
    is_copy_ = true;
  }
  return copy_;
}

struct Ole2Container::StreamHandle {
  InputPtr input;
};

struct Ole2Container::Handles {
  InputPtr source;
  InfilePtr root;
};

bool LooksLikeOle2(std::span<const std::uint8_t> bytes) noexcept {
  static constexpr std::array<std::uint8_t, 8> kSignature = {0xD0, 0xCF, 0x11, 0xE0,
                                                             0xA1, 0xB1, 0x1A, 0xE1};
  return bytes.size() >= kSignature.size() &&
         std::equal(kSignature.begin(), kSignature.end(), bytes.begin());
}

Ole2Container::Ole2Container(std::span<const std::uint8_t> bytes, std::string file,
                             ReadProgress* progress)
    : bytes_(bytes),
      file_(std::move(file)),
      progress_(progress),
      handles_(std::make_unique<Handles>()) {
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

Ole2Container::StreamHandle Ole2Container::Open(const char* name, std::size_t* size) const {
  const int index = Find(name);
  if (index < 0) throw ReadError(file_, std::string("the OLE2 file has no ") + name + " stream");
  ClearLastGLibMessage();
  InputPtr stream(gsf_infile_child_by_index(handles_->root.get(), index));
  if (stream == nullptr) Damaged(file_, std::string("cannot open the ") + name + " stream");
  if (GSF_IS_INFILE(stream.get()) && gsf_infile_num_children(GSF_INFILE(stream.get())) >= 0) {
    throw ReadError(file_, std::string("damaged OLE2 file: ") + name + " is not a stream");
  }
  // A stream's sectors are stored once each, so no real stream outgrows its file.
  const gsf_off_t length = gsf_input_size(stream.get());
  if (length < 0 || static_cast<std::uint64_t>(length) > bytes_.size()) {
    Damaged(file_, std::string("the ") + name + " stream claims more bytes than the file holds");
  }
  *size = static_cast<std::size_t>(length);
  return {std::move(stream)};
}

std::vector<std::uint8_t> Ole2Container::Copy(const StreamHandle& stream, std::size_t size,
                                              const char* name) const {
  GsfInput* input = stream.input.get();
  if (gsf_input_seek(input, 0, G_SEEK_SET) != 0) {
    Damaged(file_, std::string("cannot read the ") + name + " stream");
  }
  std::vector<std::uint8_t> data(size);
  StopCheck check(progress_, 1);
  for (std::size_t done = 0; done < data.size();) {
    check.Tick();
    const std::size_t n = std::min(kChunk, data.size() - done);
    if (gsf_input_read(input, n, data.data() + done) == nullptr) {
      Damaged(file_, std::string("cannot read the ") + name + " stream");
    }
    done += n;
  }
  return data;
}

std::vector<std::uint8_t> Ole2Container::Read(const char* name) const {
  std::size_t size = 0;
  const StreamHandle stream = Open(name, &size);
  return Copy(stream, size, name);
}

WorkbookStream Ole2Container::View(const char* name) const {
  std::size_t size = 0;
  const StreamHandle stream = Open(name, &size);
  if (size == 0) return WorkbookStream(std::span<const std::uint8_t>());
  if (const auto view = ViewInPlace(stream.input.get(), size, bytes_)) return WorkbookStream(*view);
  return WorkbookStream(Copy(stream, size, name));
}

WorkbookStream ReadWorkbookStream(std::span<const std::uint8_t> bytes, const std::string& file,
                                  ReadProgress* progress) {
  const Ole2Container container(bytes, file, progress);
  if (container.Has("Workbook")) return container.View("Workbook");
  if (container.Has("Book")) return container.View("Book");
  throw ReadError(file, "not an Excel workbook: the OLE2 file has no Workbook or Book stream");
}

}  // namespace zerova
