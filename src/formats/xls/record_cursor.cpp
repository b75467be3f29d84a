#include "formats/xls/record_cursor.h"

#include <cassert>
#include <cstdio>

#include "formats/containers/little_endian.h"
#include "formats/xls/records.h"
#include "services/error.h"

namespace zerova {
namespace {

constexpr std::size_t kHeaderSize = 4;
constexpr char kCutShort[] = "a record is cut short";

}  // namespace

BiffRecordCursor::BiffRecordCursor(ByteSpan stream, const std::string& file, ReadProgress* progress)
    : stream_(stream), file_(file), meter_(progress, stream.size()) {
  segments_.emplace_back();
}

void BiffRecordCursor::Seek(std::size_t offset) {
  assert(offset <= stream_.size());
  position_ = offset;
}

void BiffRecordCursor::ReadHeader(std::uint16_t* id, std::size_t* length) const {
  if (stream_.size() - position_ < kHeaderSize) {
    Damaged(kCutShort, "truncated record header at offset " + std::to_string(position_));
  }
  *id = GetU16(stream_, position_);
  *length = GetU16(stream_, position_ + 2);
  if (stream_.size() - position_ - kHeaderSize < *length) {
    Damaged(kCutShort,
            "truncated record " + Describe(*id) + " at offset " + std::to_string(position_));
  }
}

bool BiffRecordCursor::Next() {
  if (position_ >= stream_.size()) return false;
  meter_.At(position_);
  std::size_t length = 0;
  ReadHeader(&id_, &length);
  offset_ = position_;
  segments_.clear();
  segments_.push_back(stream_.subspan(position_ + kHeaderSize, length));
  position_ += kHeaderSize + length;

  // Gather the CONTINUE records that carry on this one.
  while (id_ != biff::kContinue && stream_.size() - position_ >= kHeaderSize &&
         GetU16(stream_, position_) == biff::kContinue) {
    meter_.At(position_);
    std::uint16_t id = 0;
    ReadHeader(&id, &length);
    segments_.push_back(stream_.subspan(position_ + kHeaderSize, length));
    position_ += kHeaderSize + length;
  }
  return true;
}

void BiffRecordCursor::RequireBody(std::size_t size) const {
  if (body().size() < size) Truncated();
}

void BiffRecordCursor::Truncated() const {
  Damaged(kCutShort, "truncated record " + Describe(id_) + " at offset " + std::to_string(offset_));
}

void BiffRecordCursor::Fail(std::string_view what) const { throw ReadError(file_, what); }

void BiffRecordCursor::RefuseSheet(std::string_view what) const {
  throw NotAWorksheet(file_, what);
}

void BiffRecordCursor::Damaged(std::string_view fact, std::string_view detail) const {
  throw zerova::Damaged(file_, fact, detail);
}

void BiffRecordCursor::Malformed(std::string_view what) const {
  Damaged("a record is malformed", Describe(id_) + ": " + std::string(what));
}

std::string BiffRecordCursor::Describe(std::uint16_t id) {
  char buf[32];
  const char* name = biff::RecordName(id);
  if (name != nullptr) {
    std::snprintf(buf, sizeof buf, "0x%04X (%s)", id, name);
  } else {
    std::snprintf(buf, sizeof buf, "0x%04X", id);
  }
  return buf;
}

}  // namespace zerova
