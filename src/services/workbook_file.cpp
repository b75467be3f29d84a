#include "services/workbook_file.h"

#include <algorithm>
#include <cstdio>

#include "services/error.h"

namespace zerova {
namespace {

// Why a file of `bytes`, over WorkbookFile::kMaxBytes, is not read, and what to do.
std::string TooLarge(std::size_t bytes) {
  const double gigabytes = static_cast<double>(bytes) / 1e9;
  char size[32];
  std::snprintf(size, sizeof size, gigabytes < 10 ? "%.1f GB" : "%.0f GB", gigabytes);
  return std::string("the file is too large to read (") + size + "; the limit is " +
         std::to_string(WorkbookFile::kMaxBytes >> 30) +
         " GiB, as the whole file is read into memory); split it into smaller files";
}

}  // namespace

// The constructor, the destructor, Close, ReadAt and OpenStream are the platform's.

std::span<const std::uint8_t> WorkbookFile::Head(std::size_t count) {
  if (!head_read_) {
    const std::size_t wanted = std::min(count, size_);
    head_ = std::make_unique_for_overwrite<std::uint8_t[]>(wanted);
    head_size_ = ReadAt(head_.get(), wanted, 0);
    head_read_ = true;
  }
  return {head_.get(), std::min(count, head_size_)};
}

std::span<const std::uint8_t> WorkbookFile::ReadAll(ReadProgress* progress) {
  if (bytes_ == nullptr) {
    if (size_ > static_cast<std::size_t>(kMaxBytes)) throw ReadError(path_, TooLarge(size_));
    bytes_ = std::make_unique_for_overwrite<std::uint8_t[]>(size_);
    std::size_t done = 0;
    if (head_read_) {
      std::copy(head_.get(), head_.get() + head_size_, bytes_.get());
      done = head_size_;
    }
    // In pieces, so a stop is noticed while a large file is read.
    constexpr std::size_t kPiece = InputMeter::kStep;
    InputMeter meter(progress, size_);
    while (done < size_) {
      meter.At(done);
      const std::size_t wanted = std::min(kPiece, size_ - done);
      const std::size_t got = ReadAt(bytes_.get() + done, wanted, done);
      done += got;
      if (got < wanted) break;  // the file shrank since it was opened
    }
    bytes_size_ = done;
    Close();
  }
  return {bytes_.get(), bytes_size_};
}

void WorkbookFile::Release() {
  bytes_.reset();
  bytes_size_ = 0;
}

}  // namespace zerova
