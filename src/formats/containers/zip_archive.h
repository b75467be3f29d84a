// ZipArchive: the members of a zip file held in memory, read with libgsf.
//
// Every member read through one archive draws on a shared budget of uncompressed
// bytes, so a zip bomb is refused long before it can exhaust memory or time: the
// budget is 200 times the zip's size, and never more than 1 GiB.
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

  // Copies up to `size` further bytes into `buffer`; returns how many, 0 at the end.
  // Throws Damaged (services/error.h) naming the file when the member cannot be
  // inflated, and ZipBomb when the archive's budget of uncompressed bytes is spent.
  std::size_t Read(char* buffer, std::size_t size);

  // The member's path inside the archive, as asked for.
  const std::string& path() const { return path_; }

 private:
  friend class ZipArchive;
  ZipMember(ZipArchive* archive, GsfInputPtr input, std::string path);

  ZipArchive* archive_;
  GsfInputPtr input_;
  std::string path_;
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

  // Opens the member at `path` for reading. Throws Damaged ("a part of it is
  // missing") when it is missing.
  ZipMember Open(std::string_view path);

  // The whole member at `path`, at most `limit` bytes of it. Throws Damaged
  // when it is missing, cannot be read, or is longer than `limit`.
  std::string ReadAll(std::string_view path, std::size_t limit);

  const std::string& file() const { return file_; }

 private:
  friend class ZipMember;

  // Opens the archive over `source`, which it takes over.
  void Open(GsfInput* source);

  // The member at `path`, or null; throws as Has does.
  GsfInputPtr Find(std::string_view path) const;

  // Counts `count` more uncompressed bytes read; throws once past the budget.
  void Spend(std::size_t count);

  GsfInputPtr source_;
  GsfInfilePtr root_;
  std::string file_;
  InputMeter meter_;
  std::uint64_t budget_;
  std::uint64_t spent_ = 0;
};

// The zip in `source`: read from its file piece by piece, or from its bytes when
// it is held in memory; reading reports to the source's progress.
// Throws as ZipArchive's constructors do.
std::unique_ptr<ZipArchive> OpenZipArchive(WorkbookSource& source);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_CONTAINERS_ZIP_ARCHIVE_H_
