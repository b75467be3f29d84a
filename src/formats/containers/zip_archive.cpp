#include "formats/containers/zip_archive.h"

#include <gsf/gsf-infile-zip.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-input.h>

#include <algorithm>
#include <cstring>

#include "formats/containers/glib_log.h"
#include "formats/containers/workbook_source.h"
#include "services/error.h"

namespace zerova {
namespace {

constexpr std::uint64_t kMaxExpansionRatio = 200;

constexpr char kUnreadablePart[] = "a part of it cannot be read";

struct GErrorFree {
  void operator()(GError* error) const { g_error_free(error); }
};
using GErrorPtr = std::unique_ptr<GError, GErrorFree>;

// The index of the child of `folder` named `name`: exactly, or else ignoring ASCII
// case; -1 if none.
int ChildIndex(GsfInfile* folder, const std::string& name) {
  const int count = gsf_infile_num_children(folder);
  int loose = -1;
  for (int i = 0; i < count; ++i) {
    const char* other = gsf_infile_name_by_index(folder, i);
    if (other == nullptr) continue;
    if (name == other) return i;
    if (loose < 0 && g_ascii_strcasecmp(other, name.c_str()) == 0) loose = i;
  }
  return loose;
}

bool IsFolder(GsfInput* input) {
  return GSF_IS_INFILE(input) && gsf_infile_num_children(GSF_INFILE(input)) >= 0;
}

}  // namespace

void GObjectUnref::operator()(void* object) const { g_object_unref(object); }

bool LooksLikeZip(std::span<const std::uint8_t> bytes) noexcept {
  return bytes.size() >= 4 && bytes[0] == 'P' && bytes[1] == 'K' && bytes[2] == 3 && bytes[3] == 4;
}

std::uint64_t ExpansionBudget(std::uint64_t size) { return kMaxExpansionRatio * size; }

ReadError ZipBomb(const std::string& file) {
  return ReadError(file, "the zip expands to more than " + std::to_string(kMaxExpansionRatio) +
                             " times its size; refused as a zip bomb");
}

ZipMember::ZipMember(ZipArchive* archive, GsfInputPtr input, std::string path, bool counted)
    : archive_(archive),
      input_(std::move(input)),
      path_(std::move(path)),
      at_(static_cast<std::uint64_t>(gsf_input_tell(archive->source_.get()))),
      counted_(counted) {}

ReadProgress* ZipMember::progress() const { return archive_->progress(); }

std::size_t ZipMember::Read(char* buffer, std::size_t size) {
  const gsf_off_t remaining = gsf_input_remaining(input_.get());
  if (remaining <= 0 || size == 0) return 0;
  const std::size_t count = std::min<std::uint64_t>(size, static_cast<std::uint64_t>(remaining));
  if (gsf_input_read(input_.get(), count, reinterpret_cast<guint8*>(buffer)) == nullptr) {
    throw Damaged(archive_->file(), kUnreadablePart,
                  "zip member " + path_ + ": its compressed data cannot be inflated");
  }
  // libgsf reads each member's compressed data from where that member stopped,
  // so the zip's position, member by member, tells what was consumed.
  if (counted_) {
    const auto now = static_cast<std::uint64_t>(gsf_input_tell(archive_->source_.get()));
    if (now > at_) archive_->consumed_ += now - at_;
    at_ = now;
    archive_->meter_.At(archive_->consumed_);
  }
  archive_->stop_.Tick(count);
  return count;
}

ZipArchive::ZipArchive(std::span<const std::uint8_t> bytes, std::string file,
                       ReadProgress* progress)
    : file_(std::move(file)),
      meter_(progress, bytes.size()),
      stop_(progress, InputMeter::kStep),
      budget_(ExpansionBudget(bytes.size())) {
  QuietGLibLog();
  Open(gsf_input_memory_new(bytes.data(), static_cast<gsf_off_t>(bytes.size()), FALSE));
}

ZipArchive::ZipArchive(std::FILE* stream, std::uint64_t size, std::string file,
                       ReadProgress* progress)
    : file_(std::move(file)),
      meter_(progress, size),
      stop_(progress, InputMeter::kStep),
      budget_(ExpansionBudget(size)) {
  QuietGLibLog();
  GsfInput* source = gsf_input_stdio_new_FILE(file_.c_str(), stream, FALSE);
  if (source == nullptr) std::fclose(stream);  // else the input closes it
  Open(source);
}

// libgsf's own account of a fault is left out of the refusal.
void ZipArchive::Open(GsfInput* source) {
  source_.reset(source);
  GError* raw_error = nullptr;
  if (source_ != nullptr) root_.reset(gsf_infile_zip_new(source_.get(), &raw_error));
  GErrorPtr error(raw_error);
  if (root_ == nullptr) {
    throw Damaged(file_, "its table of contents cannot be read", "zip central directory");
  }
}

ZipArchive::~ZipArchive() = default;

GsfInputPtr ZipArchive::Find(std::string_view path) const {
  GsfInputPtr folder;  // null: the root
  std::size_t start = 0;
  while (true) {
    const std::size_t slash = path.find('/', start);
    const std::string name(path.substr(start, slash - start));
    if (name.empty()) return nullptr;
    GsfInfile* parent = folder != nullptr ? GSF_INFILE(folder.get()) : root_.get();
    const int index = ChildIndex(parent, name);
    if (index < 0) return nullptr;
    GsfInputPtr child(gsf_infile_child_by_index(parent, index));
    if (child == nullptr) {
      throw Damaged(file_, kUnreadablePart,
                    "zip member " + std::string(path) + ": its local header is unreadable");
    }
    if (slash == std::string_view::npos) return IsFolder(child.get()) ? nullptr : std::move(child);
    if (!IsFolder(child.get())) return nullptr;
    folder = std::move(child);
    start = slash + 1;
  }
}

bool ZipArchive::Has(std::string_view path) const { return Find(path) != nullptr; }

ZipMember ZipArchive::Open(std::string_view path) {
  GsfInputPtr input = Find(path);
  if (input == nullptr) {
    throw Damaged(file_, "a part of it is missing", "missing part " + std::string(path));
  }
  Commit(path, static_cast<std::uint64_t>(std::max<gsf_off_t>(gsf_input_size(input.get()), 0)));
  return ZipMember(this, std::move(input), std::string(path), true);
}

ZipMember ZipArchive::Reopen(std::string_view path) {
  GsfInputPtr input = Find(path);
  if (input == nullptr) {
    throw Damaged(file_, "a part of it is missing", "missing part " + std::string(path));
  }
  return ZipMember(this, std::move(input), std::string(path), false);
}

std::string ZipArchive::ReadAll(std::string_view path, std::size_t limit) {
  ZipMember member = Open(path);
  std::string text;
  char buffer[16 * 1024];
  while (const std::size_t count = member.Read(buffer, sizeof buffer)) {
    if (text.size() + count > limit) {
      throw Damaged(file_, "a part of it is not what it should be",
                    member.path() + " is over " + std::to_string(limit) + " bytes");
    }
    text.append(buffer, count);
  }
  return text;
}

void ZipArchive::Commit(std::string_view path, std::uint64_t declared) {
  if (declared > budget_ - committed_) {
    throw ReadError(file_, std::string(path) + ": the zip would expand to more than " +
                               std::to_string(kMaxExpansionRatio) +
                               " times its size (the part "
                               "declares " +
                               std::to_string(declared) + " bytes); refused as a zip bomb");
  }
  committed_ += declared;
}

std::unique_ptr<ZipArchive> OpenZipArchive(WorkbookSource& source) {
  if (std::FILE* stream = source.OpenStream()) {
    return std::make_unique<ZipArchive>(stream, source.size(), source.name(), source.progress());
  }
  return std::make_unique<ZipArchive>(source.Bytes(), source.name(), source.progress());
}

}  // namespace zerova
