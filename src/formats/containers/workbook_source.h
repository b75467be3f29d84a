// WorkbookSource: a spreadsheet file as a format's reader takes it: its name
// for messages, its first bytes to tell its format by, and the whole of it,
// either read into memory once or, for a zip read piece by piece, as a stream.
// It also carries what reading needs besides the bytes: where passwords come
// from and whom to tell how far reading has got.
//
// A format's workbook keeps the source (a shared_ptr) as long as it reads from
// it, so the bytes stay valid for every sheet it reads.
#ifndef ZEROVA_FORMATS_CONTAINERS_WORKBOOK_SOURCE_H_
#define ZEROVA_FORMATS_CONTAINERS_WORKBOOK_SOURCE_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "services/password_source.h"
#include "services/read_progress.h"

namespace zerova {

class WorkbookFile;

class WorkbookSource {
 public:
  // A format is told by at most this many of a file's first bytes.
  static constexpr std::size_t kHeadBytes = 16 * 1024;

  // The file at `path`, opened now and read as asked. Throws ReadError as
  // WorkbookFile does.
  static std::shared_ptr<WorkbookSource> File(const std::string& path, PasswordSource* passwords,
                                              ReadProgress* progress);
  // Bytes in memory, kept alive by `owner`, which the source keeps; `name`
  // stands for them in messages.
  static std::shared_ptr<WorkbookSource> Memory(std::span<const std::uint8_t> bytes,
                                                std::shared_ptr<const void> owner,
                                                const std::string& name, PasswordSource* passwords,
                                                ReadProgress* progress);
  // Bytes in memory that the caller keeps alive as long as the source and what
  // reads from it (tests, fuzzing). `on_release`, when given, is called once
  // when a reader lets the bytes go: the caller may free them from then on.
  static std::shared_ptr<WorkbookSource> View(std::span<const std::uint8_t> bytes,
                                              const std::string& name,
                                              PasswordSource* passwords = nullptr,
                                              ReadProgress* progress = nullptr,
                                              std::function<void()> on_release = nullptr);

  WorkbookSource(const WorkbookSource&) = delete;
  WorkbookSource& operator=(const WorkbookSource&) = delete;
  ~WorkbookSource();

  // The file as messages name it.
  const std::string& name() const { return name_; }
  // The file's size in bytes.
  std::uint64_t size() const;

  // The file's first kHeadBytes, or all of a shorter file; empty for an empty file.
  std::span<const std::uint8_t> Head();

  // The whole file, read into memory at the first call (reporting to progress()).
  // Valid until ReleaseBytes or the end of the source. Throws ReadError when the
  // file cannot be read, Cancelled when the user stops the reading.
  std::span<const std::uint8_t> Bytes();

  // Frees what Bytes read, when the source read it: a reader that has copied
  // what it needs calls it so the file and the copy are not both held.
  void ReleaseBytes();

  // A new stream reading the file from its start, which the caller closes; null
  // when the source is bytes in memory. Throws ReadError when it cannot be made.
  // REQUIRES: Bytes has not been called.
  std::FILE* OpenStream();

  PasswordSource* passwords() const { return passwords_; }
  ReadProgress* progress() const { return progress_; }

 private:
  WorkbookSource(std::string name, PasswordSource* passwords, ReadProgress* progress);

  std::string name_;
  PasswordSource* passwords_;
  ReadProgress* progress_;
  std::unique_ptr<WorkbookFile> file_;  // a file, or
  std::shared_ptr<const void> owned_;   // bytes kept, or
  std::span<const std::uint8_t> view_;  // bytes viewed
  std::function<void()> on_release_;
};

}  // namespace zerova

#endif  // ZEROVA_FORMATS_CONTAINERS_WORKBOOK_SOURCE_H_
