#include "cli/stream_input.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "cli/stop_signals.h"
#include "services/error.h"

namespace zerova {
namespace {

constexpr std::size_t kChunk = 64 * 1024;
constexpr std::uint64_t kGiB = std::uint64_t{1} << 30;

// "2 GiB", or "1000 bytes" for a limit that is no whole number of GiB.
std::string LimitText(std::uint64_t bytes) {
  if (bytes % kGiB == 0) return std::to_string(bytes / kGiB) + " GiB";
  return std::to_string(bytes) + " bytes";
}

// Bytes in pages of their own that grow in place, or move without being copied
// (mremap): a buffer that grows to a size holds that size, not twice it.
class GrowingBytes {
 public:
  GrowingBytes() = default;
  GrowingBytes(const GrowingBytes&) = delete;
  GrowingBytes& operator=(const GrowingBytes&) = delete;
  ~GrowingBytes() {
    if (data_ != nullptr) ::munmap(data_, capacity_);
  }

  std::uint8_t* data() const { return static_cast<std::uint8_t*>(data_); }
  std::size_t size() const { return size_; }
  std::span<const std::uint8_t> bytes() const { return {data(), size_}; }

  // Makes room for `more` bytes after the size. Untouched room costs no memory.
  void Reserve(std::size_t more) {
    if (size_ + more <= capacity_) return;
    const std::size_t capacity = std::max(size_ + more, capacity_ * 2);
    void* data = data_ == nullptr ? ::mmap(nullptr, capacity, PROT_READ | PROT_WRITE,
                                           MAP_PRIVATE | MAP_ANONYMOUS, -1, 0)
                                  : ::mremap(data_, capacity_, capacity, MREMAP_MAYMOVE);
    if (data == MAP_FAILED) throw std::bad_alloc();
    data_ = data;
    capacity_ = capacity;
  }
  void Grow(std::size_t added) { size_ += added; }

 private:
  void* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

// The size of `fd` when it is a regular file or a disk, else 0 (not known ahead).
std::uint64_t KnownSize(int fd) {
  struct stat status;
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size <= 0) return 0;
  return static_cast<std::uint64_t>(status.st_size);
}

}  // namespace

SpreadsheetInput ReadStream(int fd, const std::string& name, const InputReport& report,
                            const HeadCheck& check, std::uint64_t max_bytes) {
  const auto cannot_read = [&name](int error_number) {
    return ReadError(name, std::string("cannot read it: ") + std::strerror(error_number));
  };
  auto bytes = std::make_shared<GrowingBytes>();
  const std::uint64_t known = KnownSize(fd);
  bool judged = false;
  for (;;) {
    if (!WaitForInput(fd, [&] { report(bytes->size(), known); })) throw cannot_read(errno);
    // The head is read to its end before it is judged; then a chunk at a time.
    const std::size_t wanted =
        judged ? kChunk : kStreamHeadBytes - std::min(bytes->size(), kStreamHeadBytes);
    bytes->Reserve(wanted);
    const ssize_t n = ::read(fd, bytes->data() + bytes->size(), wanted);
    if (n < 0 && errno != EINTR && errno != EAGAIN) throw cannot_read(errno);
    bytes->Grow(static_cast<std::size_t>(n > 0 ? n : 0));
    if (!judged && (n == 0 || bytes->size() >= kStreamHeadBytes)) {
      check(bytes->bytes());
      judged = true;
    }
    if (n == 0) break;
    if (bytes->size() > max_bytes) {
      throw ReadError(name, "the input is too large to read (over " + LimitText(max_bytes) +
                                ", as a stream is held whole in memory)");
    }
    report(bytes->size(), known);
  }
  SpreadsheetInput input;
  input.path = name;
  input.bytes = bytes->bytes();
  input.bytes_owner = std::move(bytes);
  return input;
}

}  // namespace zerova
