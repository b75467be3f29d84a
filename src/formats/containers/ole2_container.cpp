#include "formats/containers/ole2_container.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-input.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "formats/containers/little_endian.h"

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
// The smallest sector ([MS-CFB] 2.2: 512 or 4,096 bytes): a piece this long at
// a multiple of it lies in one sector whatever the file's sector size.
constexpr std::size_t kSectorPiece = 512;

constexpr char kUnreadablePart[] = "a part of it cannot be read";

// libgsf's own account of a fault is left out: the detail names the stream.
[[noreturn]] void StreamDamaged(const std::string& file, const char* name, const char* what) {
  throw Damaged(file, kUnreadablePart, std::string("OLE2 stream ") + name + " " + what);
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
  handles_->source.reset(
      gsf_input_memory_new(bytes.data(), static_cast<gsf_off_t>(bytes.size()), FALSE));
  GError* raw_error = nullptr;
  if (handles_->source != nullptr) {
    handles_->root.reset(gsf_infile_msole_new(handles_->source.get(), &raw_error));
  }
  GErrorPtr error(raw_error);
  if (handles_->root == nullptr) {
    throw Damaged(file_, "its table of contents cannot be read",
                  "OLE2 header, sector allocation table or directory");
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
  InputPtr stream(gsf_infile_child_by_index(handles_->root.get(), index));
  if (stream == nullptr) StreamDamaged(file_, name, "cannot be opened");
  if (GSF_IS_INFILE(stream.get()) && gsf_infile_num_children(GSF_INFILE(stream.get())) >= 0) {
    StreamDamaged(file_, name, "is a storage, not a stream");
  }
  const gsf_off_t length = gsf_input_size(stream.get());
  if (length < 0) StreamDamaged(file_, name, "has no size");
  *size = static_cast<std::size_t>(
      std::min<std::uint64_t>(static_cast<std::uint64_t>(length), SIZE_MAX));
  if (gsf_input_seek(stream.get(), 0, G_SEEK_SET) != 0) {
    StreamDamaged(file_, name, "cannot be read");
  }
  return {std::move(stream)};
}

void Ole2Container::RequireFits(std::size_t size, const char* name) const {
  // A stream's sectors are stored once each, so no real stream outgrows its file.
  if (size > bytes_.size()) StreamDamaged(file_, name, "claims more bytes than the file holds");
}

std::vector<std::uint8_t> Ole2Container::Copy(const StreamHandle& stream, std::size_t size,
                                              const char* name) const {
  std::vector<std::uint8_t> data(size);
  StopCheck check(progress_, 1);
  for (std::size_t done = 0; done < data.size();) {
    check.Tick();
    const std::size_t n = std::min(kChunk, data.size() - done);
    if (gsf_input_read(stream.input.get(), n, data.data() + done) == nullptr) {
      StreamDamaged(file_, name, "cannot be read whole");
    }
    done += n;
  }
  return data;
}

std::vector<std::uint8_t> Ole2Container::Read(const char* name) const {
  std::size_t size = 0;
  const StreamHandle stream = Open(name, &size);
  RequireFits(size, name);
  return Copy(stream, size, name);
}

// Read in large pieces until one fails, then in sector-sized pieces up to the
// first sector the chain does not hold.
std::vector<std::uint8_t> Ole2Container::ReadStored(const char* name) const {
  std::size_t size = 0;
  const StreamHandle stream = Open(name, &size);
  std::vector<std::uint8_t> data(std::min(size, bytes_.size()));
  std::size_t done = 0;
  for (std::size_t piece = kChunk; done < data.size();) {
    const std::size_t n = std::min(piece, data.size() - done);
    if (gsf_input_read(stream.input.get(), n, data.data() + done) != nullptr) {
      done += n;
    } else if (piece == kSectorPiece) {
      break;
    } else {
      piece = kSectorPiece;
    }
  }
  data.resize(done);
  return data;
}

WorkbookStream Ole2Container::View(const char* name) const {
  std::size_t size = 0;
  const StreamHandle stream = Open(name, &size);
  RequireFits(size, name);
  if (size == 0) return WorkbookStream(std::span<const std::uint8_t>());
  if (const auto view = ViewInPlace(stream.input.get(), size, bytes_)) return WorkbookStream(*view);
  if (gsf_input_seek(stream.input.get(), 0, G_SEEK_SET) != 0) {
    StreamDamaged(file_, name, "cannot be read");
  }
  return WorkbookStream(Copy(stream, size, name));
}

WorkbookStream ReadWorkbookStream(std::span<const std::uint8_t> bytes, const std::string& file,
                                  ReadProgress* progress) {
  const Ole2Container container(bytes, file, progress);
  if (container.Has("Workbook")) return container.View("Workbook");
  if (container.Has("Book")) return container.View("Book");
  // A compound file is whole sectors ([MS-CFB] 2.2: the header's sector shift at
  // 0x1E); one that ends inside a sector was cut short, and its directory with it.
  const unsigned shift = bytes.size() >= 0x20 ? GetU16(bytes, 0x1E) : 0;
  if (shift >= 9 && shift <= 12 && bytes.size() % (std::size_t{1} << shift) != 0) {
    throw Damaged(file, "it ends inside a sector, as a file cut short does",
                  "OLE2 file of " + std::to_string(bytes.size()) + " bytes, sectors of " +
                      std::to_string(std::size_t{1} << shift));
  }
  throw ReadError(file, "not an Excel workbook: the OLE2 file has no Workbook or Book stream");
}

}  // namespace zerova
