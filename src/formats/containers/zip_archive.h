// ZipArchive: the members of a zip file, read with libgsf from memory or piece by
// piece from the file.
//
// Every member opened through one archive draws on a shared budget of
// uncompressed bytes, 200 times the zip's size: a member whose declared size
// passes what is left of it is refused when it is opened, before a byte is
// inflated, so a zip bomb costs nothing however large it claims to be. libgsf
// inflates a member only up to the size it declares, so the declared sizes bound
// all the inflating, and a member whose data falls short of its declared size
// fails as damaged. There is no other cap: a real workbook whose sheet inflates
// to gigabytes at the usual 5-10:1 is read, a piece at a time, in constant memory.
#ifndef ZEROVA_FORMATS_CONTAINERS_ZIP_ARCHIVE_H_
#define ZEROVA_FORMATS_CONTAINERS_ZIP_ARCHIVE_H_

#include <gsf/gsf-fwd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "services/read_progress.h"

namespace zerova {

class ReadError;
class WorkbookSource;

// True iff `bytes` start with a zip local-file header ("PK\3\4").
bool LooksLikeZip(std::span<const std::uint8_t> bytes) noexcept;

// How many uncompressed bytes the members of a zip of `size` bytes may give in all.
std::uint64_t ExpansionBudget(std::uint64_t size);

// The refusal of a zip whose members give more than its budget, naming `file`.
ReadError ZipBomb(const std::string& file);

class ZipArchive;

// Releases a libgsf object.
struct GObjectUnref {
  void operator()(void* object) const;
};
using GsfInputPtr = std::unique_ptr<GsfInput, GObjectUnref>;
using GsfInfilePtr = std::unique_ptr<GsfInfile, GObjectUnref>;

// One member being read, front to back. Not copyable; must not outlive its archive.
class ZipMember {
 public:
  ZipMember(ZipMember&&) = default;
  ZipMember& operator=(ZipMember&&) = delete;

  // Copies up to `size` further bytes into `buffer`; returns how many, 0 at the
  // end. Reports the compressed bytes the archive has consumed so far, in
  // whatever order its members lie, to its progress, and asks it whether to
  // stop every 64 KB inflated. Throws Damaged (services/error.h) naming the
  // file when the member cannot be inflated, Cancelled when the progress
  // answers a stop.
  std::size_t Read(char* buffer, std::size_t size);

  // The member's path inside the archive, as asked for.
  const std::string& path() const { return path_; }
  // Whom its archive reports to; null: nobody.
  ReadProgress* progress() const;

 private:
  friend class ZipArchive;
  ZipMember(ZipArchive* archive, GsfInputPtr input, std::string path, bool counted);

  ZipArchive* archive_;
  GsfInputPtr input_;
  std::string path_;
  std::uint64_t at_;  // where this member's compressed data was read to in the zip
  bool counted_;      // its reading counts for the archive's progress
};

class ZipArchive {
 public:
  // Opens the zip in `bytes`, which must outlive the archive and its members.
  // `file` names the zip in error messages. Reading reports the position in the
  // zip to `progress` (null: none). Throws Damaged when the zip's directory
  // cannot be read.
  ZipArchive(std::span<const std::uint8_t> bytes, std::string file,
             ReadProgress* progress = nullptr);
  // Opens the zip in the open file `stream`, `size` bytes long, and reads it from
  // there piece by piece as its directory and members are read, so the zip is
  // never held in memory whole. Takes `stream` over and closes it. Throws as the
  // other constructor does.
  ZipArchive(std::FILE* stream, std::uint64_t size, std::string file,
             ReadProgress* progress = nullptr);
  ZipArchive(const ZipArchive&) = delete;
  ZipArchive& operator=(const ZipArchive&) = delete;
  ~ZipArchive();

  // True iff a member (not a folder) exists at `path` ("xl/workbook.xml").
  // Names are matched exactly first, then ignoring ASCII case. Throws Damaged
  // when the zip's directory lists the member but its own header is damaged.
  bool Has(std::string_view path) const;

  // Opens the member at `path` for reading, inflating nothing yet. Throws
  // Damaged ("a part of it is missing") when it is missing, and ReadError when
  // its declared size passes what is left of the archive's budget ("refused as
  // a zip bomb").
  ZipMember Open(std::string_view path);

  // The member at `path` again, which Open gave before, to be read once more
  // from its start: its bytes count for neither the progress nor the budget a
  // second time, though reading it still asks whether to stop. Throws as Open
  // does when it is missing.
  ZipMember Reopen(std::string_view path);

  // The whole member at `path`, at most `limit` bytes of it. Throws Damaged
  // when it is missing, cannot be read, or is longer than `limit`.
  std::string ReadAll(std::string_view path, std::size_t limit);

  const std::string& file() const { return file_; }
  // Whom reading reports to; null: nobody.
  ReadProgress* progress() const { return meter_.progress(); }

 private:
  friend class ZipMember;

  // Opens the archive over `source`, which it takes over.
  void Open(GsfInput* source);

  // The member at `path`, or null; throws as Has does.
  GsfInputPtr Find(std::string_view path) const;

  // Takes the `declared` bytes of the member at `path` from the budget; throws
  // when they pass what is left of it.
  void Commit(std::string_view path, std::uint64_t declared);

  GsfInputPtr source_;
  GsfInfilePtr root_;
  std::string file_;
  InputMeter meter_;  // over the compressed bytes consumed, in any order
  std::uint64_t consumed_ = 0;
  StopCheck stop_;  // counts inflated bytes
  std::uint64_t budget_;
  std::uint64_t committed_ = 0;
};

// The zip in `source`: read from its file piece by piece, or from its bytes when
// it is held in memory; reading reports to the source's progress.
// Throws as ZipArchive's constructors do.
std::unique_ptr<ZipArchive> OpenZipArchive(WorkbookSource& source);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_CONTAINERS_ZIP_ARCHIVE_H_
