#include "formats/xml/chunk_queue.h"

#include <cassert>

namespace zerova {

ChunkQueue::ChunkQueue(std::size_t buffers, std::size_t buffer_size)
    : buffers_(buffers), buffer_size_(buffer_size) {
  assert(buffers >= 1 && buffer_size >= 1);
  for (std::size_t i = 0; i < buffers; ++i) free_.push_back(buffers - 1 - i);  // 0 comes first
}

std::span<char> ChunkQueue::NextFree() {
  std::unique_lock lock(mutex_);
  freed_.wait(lock, [this] { return abandoned_ || !free_.empty(); });
  if (abandoned_) return {};
  filling_ = free_.back();
  free_.pop_back();
  std::unique_ptr<char[]>& buffer = buffers_[filling_];
  if (buffer == nullptr) buffer = std::make_unique_for_overwrite<char[]>(buffer_size_);
  return {buffer.get(), buffer_size_};
}

void ChunkQueue::Pass(std::size_t size) {
  assert(size > 0 && size <= buffer_size_);
  {
    std::lock_guard lock(mutex_);
    passed_chunks_.push_back({filling_, size});
  }
  passed_.notify_one();
}

void ChunkQueue::Close() {
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
  }
  passed_.notify_one();
}

void ChunkQueue::Fail(std::exception_ptr error) {
  {
    std::lock_guard lock(mutex_);
    failure_ = std::move(error);
  }
  passed_.notify_one();
}

std::span<const char> ChunkQueue::Take() {
  std::unique_lock lock(mutex_);
  if (taken_ != kNone) {
    free_.push_back(taken_);
    taken_ = kNone;
    freed_.notify_one();
  }
  passed_.wait(lock, [this] { return !passed_chunks_.empty() || closed_ || failure_; });
  if (passed_chunks_.empty()) {
    if (failure_) std::rethrow_exception(failure_);
    return {};
  }
  const Chunk chunk = passed_chunks_.front();
  passed_chunks_.pop_front();
  taken_ = chunk.buffer;
  return std::span<const char>(buffers_[chunk.buffer].get(), chunk.size);
}

void ChunkQueue::Abandon() {
  {
    std::lock_guard lock(mutex_);
    abandoned_ = true;
  }
  freed_.notify_one();
}

}  // namespace zerova
