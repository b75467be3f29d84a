// WorkbookFile: the spreadsheet file a conversion reads, opened once and read in
// two steps: its first bytes, enough to tell its format, and then, only for a
// file worth reading, the whole of it, once, into one buffer.
//
// A file that is none of the formats is thus refused having read no more than
// its first bytes, however large it is; a reader that takes the file piece by
// piece (OpenStream) reads it whatever its size.
//
// The opening and the reads are each platform's (src/platform/), the rest is
// shared (workbook_file.cpp).
#ifndef ZEROVA_SERVICES_WORKBOOK_FILE_H_
#define ZEROVA_SERVICES_WORKBOOK_FILE_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>

#include "services/read_progress.h"

namespace zerova {

class WorkbookFile {
 public:
  // ReadAll refuses a file larger than this rather than hold it in memory.
  static constexpr std::int64_t kMaxBytes = std::int64_t{2} << 30;

  // Opens the file at `path`, which must be a regular file. Reads nothing yet.
  // Throws ReadError naming `path`: no file was chosen (empty path), there is no
  // such file, it is a folder or not a regular file (a FIFO or a device is never
  // opened), or it cannot be opened.
  explicit WorkbookFile(std::string path);
  WorkbookFile(const WorkbookFile&) = delete;
  WorkbookFile& operator=(const WorkbookFile&) = delete;
  ~WorkbookFile();

  // The file's first `count` bytes, or all of a shorter file; empty for an empty
  // file. Reads them at the first call only; later calls answer the same bytes.
  // The view stays valid while this object lives. Throws ReadError when the file
  // cannot be read. REQUIRES: called before ReadAll, with the same `count` each time.
  std::span<const std::uint8_t> Head(std::size_t count);

  // The whole file, read once into a buffer of its size (the head is not read
  // again); the file is then closed. A file that shrank since it was opened is
  // read as far as it goes. The view stays valid until Release or the end of
  // this object. Reports its progress to `progress` (null: none). Throws
  // ReadError when the file is larger than kMaxBytes (saying what to do) or
  // cannot be read, Cancelled when `progress` answers a stop.
  std::span<const std::uint8_t> ReadAll(ReadProgress* progress = nullptr);

  // Frees the buffer ReadAll filled: its views are invalid from here on.
  void Release();

  // A stream reading the file from its start, for a reader that takes what it
  // needs piece by piece instead of the whole file; it has a descriptor of its
  // own, and the caller closes it. Throws ReadError when it cannot be made.
  // REQUIRES: ReadAll has not been called.
  std::FILE* OpenStream();

  // The file's size when it was opened.
  std::uint64_t size() const { return size_; }
  const std::string& path() const { return path_; }

 private:
  // The file as the platform holds it open.
  class Handle;

  // Reads up to `count` bytes at `offset` into `to`; returns how many, fewer only
  // at the end of the file. Throws ReadError when it cannot be read.
  std::size_t ReadAt(std::uint8_t* to, std::size_t count, std::size_t offset);
  void Close();

  std::string path_;
  std::unique_ptr<Handle> handle_;  // null once closed
  std::size_t size_ = 0;            // as the file's status gave it when opened
  std::unique_ptr<std::uint8_t[]> head_;
  std::size_t head_size_ = 0;
  bool head_read_ = false;
  std::unique_ptr<std::uint8_t[]> bytes_;
  std::size_t bytes_size_ = 0;
};

}  // namespace zerova

#endif  // ZEROVA_SERVICES_WORKBOOK_FILE_H_
