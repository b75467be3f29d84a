#include "formats/containers/workbook_source.h"

#include <algorithm>
#include <utility>

#include "services/workbook_file.h"

namespace zerova {

WorkbookSource::WorkbookSource(std::string name, PasswordSource* passwords, ReadProgress* progress)
    : name_(std::move(name)), passwords_(passwords), progress_(progress) {}

WorkbookSource::~WorkbookSource() = default;

std::shared_ptr<WorkbookSource> WorkbookSource::File(const std::string& path,
                                                     PasswordSource* passwords,
                                                     ReadProgress* progress) {
  std::shared_ptr<WorkbookSource> source(new WorkbookSource(path, passwords, progress));
  source->file_ = std::make_unique<WorkbookFile>(path);
  return source;
}

std::shared_ptr<WorkbookSource> WorkbookSource::Memory(std::span<const std::uint8_t> bytes,
                                                       std::shared_ptr<const void> owner,
                                                       const std::string& name,
                                                       PasswordSource* passwords,
                                                       ReadProgress* progress) {
  std::shared_ptr<WorkbookSource> source(new WorkbookSource(name, passwords, progress));
  source->view_ = bytes;
  source->owned_ = std::move(owner);
  return source;
}

std::shared_ptr<WorkbookSource> WorkbookSource::View(std::span<const std::uint8_t> bytes,
                                                     const std::string& name,
                                                     PasswordSource* passwords,
                                                     ReadProgress* progress,
                                                     std::function<void()> on_release) {
  std::shared_ptr<WorkbookSource> source(new WorkbookSource(name, passwords, progress));
  source->view_ = bytes;
  source->on_release_ = std::move(on_release);
  return source;
}

std::uint64_t WorkbookSource::size() const { return file_ ? file_->size() : view_.size(); }

std::span<const std::uint8_t> WorkbookSource::Head() {
  if (file_) return file_->Head(kHeadBytes);
  return view_.first(std::min(view_.size(), kHeadBytes));
}

std::span<const std::uint8_t> WorkbookSource::Bytes() {
  if (file_) return file_->ReadAll(progress_);
  return view_;
}

void WorkbookSource::ReleaseBytes() {
  if (file_) file_->Release();
  if (on_release_) std::exchange(on_release_, nullptr)();
}

std::FILE* WorkbookSource::OpenStream() { return file_ ? file_->OpenStream() : nullptr; }

}  // namespace zerova
