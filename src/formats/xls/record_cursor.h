// BiffRecordCursor: walks a workbook stream one BIFF record at a time.
//
// A record is a 4-byte header (id, body length) and its body ([MS-XLS] 2.1.4).
// Records longer than a body may hold go on in CONTINUE records; the cursor hands
// the body and each CONTINUE body on as separate segments, so a string reader sees
// every split point. Every length is checked against the stream before it is used.
#ifndef ZEROVA_FORMATS_XLS_RECORD_CURSOR_H_
#define ZEROVA_FORMATS_XLS_RECORD_CURSOR_H_

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "services/read_progress.h"

namespace zerova {

using ByteSpan = std::span<const std::uint8_t>;

class BiffRecordCursor {
 public:
  // `stream` must outlive the cursor; `file` names the workbook in errors.
  // Reading reports the cursor's position in the stream to `progress` (null: none).
  BiffRecordCursor(ByteSpan stream, const std::string& file, ReadProgress* progress = nullptr);

  BiffRecordCursor(const BiffRecordCursor&) = delete;
  BiffRecordCursor& operator=(const BiffRecordCursor&) = delete;

  // Moves to the record whose header starts at `offset`. REQUIRES: offset <= stream size.
  void Seek(std::size_t offset);

  // The stream offset of the next record's header.
  std::size_t position() const { return position_; }
  std::size_t stream_size() const { return stream_.size(); }
  // The whole stream, for a look ahead that leaves the cursor where it stands.
  ByteSpan stream() const { return stream_; }

  // Reads the next record and the CONTINUE records after it, reporting its
  // position every 64 KB, in a long run of CONTINUE records too. Returns false
  // at the end of the stream. Throws ReadError when a header or body runs past
  // its end, Cancelled when the progress answers a stop.
  bool Next();

  // The current record. REQUIRES: the last Next() returned true. The views stay
  // valid until the next call to Next() or Seek().
  std::uint16_t id() const { return id_; }
  std::size_t offset() const { return offset_; }  // of the current record's header
  ByteSpan body() const { return segments_.front(); }
  // The body, then each CONTINUE body in order.
  std::span<const ByteSpan> segments() const { return segments_; }

  // Throws Truncated() unless the current body holds `size` bytes.
  void RequireBody(std::size_t size) const;

  // Throws the refusal of a damaged file saying the current record is cut short,
  // with the detail "truncated record 0x00FC (SST)".
  [[noreturn]] void Truncated() const;

  // Throws ReadError(file, what): a refusal of what the workbook holds (a chart, a
  // method of encryption this program does not read), not of damage.
  [[noreturn]] void Fail(std::string_view what) const;

  // Throws NotAWorksheet(file, what): the sheet read is no worksheet after all.
  [[noreturn]] void RefuseSheet(std::string_view what) const;

  // Throws Damaged(file, fact, detail) (services/error.h).
  [[noreturn]] void Damaged(std::string_view fact, std::string_view detail) const;

  // Throws Damaged(file, "a record is malformed", "RECORD: what"), RECORD as
  // Describe names the current record.
  [[noreturn]] void Malformed(std::string_view what) const;

  const std::string& file() const { return file_; }
  // Whom the cursor reports to; null: nobody.
  ReadProgress* progress() const { return meter_.progress(); }

  // "0x00FC (SST)", or "0x1234" for a record the reader does not name.
  static std::string Describe(std::uint16_t id);

 private:
  // Reads the header at position_ into (*id, *length), checking the body fits.
  void ReadHeader(std::uint16_t* id, std::size_t* length) const;

  ByteSpan stream_;
  const std::string& file_;
  InputMeter meter_;
  std::size_t position_ = 0;
  std::uint16_t id_ = 0;
  std::size_t offset_ = 0;
  std::vector<ByteSpan> segments_;
};

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XLS_RECORD_CURSOR_H_
