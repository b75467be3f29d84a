// The OLE2 compound file ([MS-CFB]) around an .xls workbook or an encrypted OOXML
// package, opened with libgsf.
//
// A compound file is a small file system. An .xls workbook is the root stream
// named "Workbook" (BIFF8) or "Book" (BIFF5); which BIFF version the stream holds
// is decided by its first BOF record, never by the stream's name. An encrypted
// .xlsx, .xlsm or .xlsb is the pair of root streams "EncryptionInfo" and
// "EncryptedPackage" ([MS-OFFCRYPTO] 2.3.4).
#ifndef ZEROVA_FORMATS_CONTAINERS_OLE2_CONTAINER_H_
#define ZEROVA_FORMATS_CONTAINERS_OLE2_CONTAINER_H_

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "services/read_progress.h"

struct _GsfInfile;

namespace zerova {

// True iff `bytes` start with the OLE2 compound-file signature.
bool LooksLikeOle2(std::span<const std::uint8_t> bytes) noexcept;

// The bytes of a workbook stream: a view of bytes that live elsewhere (the
// compound file's own, where the stream's sectors lie in order, or a bare
// stream's), or a copy of them this object holds.
class WorkbookStream {
 public:
  // A view of `bytes`, which must outlive this object.
  explicit WorkbookStream(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  // The bytes of `copy`, which this object keeps.
  explicit WorkbookStream(std::vector<std::uint8_t> copy);
  WorkbookStream(WorkbookStream&&) noexcept;
  WorkbookStream& operator=(WorkbookStream&&) noexcept;
  ~WorkbookStream();

  // Valid while this object lives and, unless is_copy(), the bytes viewed.
  std::span<const std::uint8_t> bytes() const { return bytes_; }
  // True iff the bytes are this object's own: the bytes once viewed are no longer needed.
  bool is_copy() const { return is_copy_; }

  // Copies viewed bytes into a buffer of this object's own (once), and returns
  // them writable, valid while this object lives.
  std::span<std::uint8_t> Writable();

 private:
  std::vector<std::uint8_t> copy_;
  std::span<const std::uint8_t> bytes_;
  bool is_copy_ = false;
};

// The root storage of a compound file held in memory.
class Ole2Container {
 public:
  // Opens the compound file in `bytes`, which must outlive this object; `file`
  // names it in errors. A stream copied (Read, View) asks `progress` (null:
  // nobody) whether to stop every 64 KB, and throws Cancelled when it answers
  // a stop. Throws the refusal of a damaged file (Damaged) when its directory
  // cannot be read.
  Ole2Container(std::span<const std::uint8_t> bytes, std::string file,
                ReadProgress* progress = nullptr);
  Ole2Container(const Ole2Container&) = delete;
  Ole2Container& operator=(const Ole2Container&) = delete;
  ~Ole2Container();

  // True iff the root storage holds a child named `name`, ignoring case.
  bool Has(const char* name) const;

  // The bytes of the root stream named `name` (ignoring case). Throws ReadError
  // naming the file when there is no such stream, and Damaged when it is a
  // storage, claims more bytes than the file holds, or cannot be read whole.
  std::vector<std::uint8_t> Read(const char* name) const;

  // The same, but only as far as the stream's sector chain goes: a writer that
  // declared the stream longer than the sectors it stored leaves a stream that
  // Read refuses and this reads as stored, never longer than the file. The
  // caller checks what it gets against the sizes the stream gives itself.
  // Throws as Read does, except for a stream shorter than declared.
  std::vector<std::uint8_t> ReadStored(const char* name) const;

  // The root stream named `name`, as Read gives it, but read where it stands in
  // the compound file's bytes when its sectors follow each other there, as
  // writers usually store them; a copy otherwise. Throws as Read does.
  WorkbookStream View(const char* name) const;

  const std::string& file() const { return file_; }

 private:
  // The index of the root child named `name` ignoring case, or -1.
  int Find(const char* name) const;
  // Opens the root stream named `name` at its start and stores the size its
  // directory entry declares.
  struct StreamHandle;
  StreamHandle Open(const char* name, std::size_t* size) const;
  // Throws Damaged unless a stream of `size` bytes fits the file.
  void RequireFits(std::size_t size, const char* name) const;
  // Copies the `size` bytes of `stream`, from its start.
  std::vector<std::uint8_t> Copy(const StreamHandle& stream, std::size_t size,
                                 const char* name) const;

  std::span<const std::uint8_t> bytes_;
  std::string file_;
  ReadProgress* progress_;
  struct Handles;
  std::unique_ptr<Handles> handles_;
};

// Returns the root stream named "Workbook", or else the one named "Book", names
// compared ignoring case, as View gives it: `bytes` must outlive the result unless
// it is a copy. Throws ReadError naming `file` when the compound file is damaged,
// holds neither stream, or the stream cannot be read whole; Cancelled when
// `progress` answers a stop while the stream is copied.
WorkbookStream ReadWorkbookStream(std::span<const std::uint8_t> bytes, const std::string& file,
                                  ReadProgress* progress = nullptr);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_CONTAINERS_OLE2_CONTAINER_H_
