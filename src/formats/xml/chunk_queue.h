// ChunkQueue: a byte stream handed from the thread that produces it (a zip
// member being inflated) to the thread that consumes it (a parser), in order,
// through a fixed set of buffers.
//
// The producer fills a free buffer and passes it on; the consumer takes the
// buffers in the order they were passed and gives each back by taking the next.
// The producer waits while every buffer is full, so memory stays at the buffers'
// size whatever the stream's. Either side may stop the other: the producer by
// ending the stream or failing (the consumer gets the failure after the chunks
// passed before it), the consumer by abandoning the stream (the producer's next
// call tells it to stop). Made for one producer thread and one consumer thread.
// A buffer is allocated when it is first needed, so a stream shorter than one
// buffer takes one.
#ifndef ZEROVA_FORMATS_XML_CHUNK_QUEUE_H_
#define ZEROVA_FORMATS_XML_CHUNK_QUEUE_H_

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

namespace zerova {

class ChunkQueue {
 public:
  // REQUIRES: buffers >= 1, buffer_size >= 1.
  ChunkQueue(std::size_t buffers, std::size_t buffer_size);
  ChunkQueue(const ChunkQueue&) = delete;
  ChunkQueue& operator=(const ChunkQueue&) = delete;

  // Producer side.

  // A free buffer to fill, waiting until one is free; empty when the consumer
  // has abandoned the stream, and the producer should stop.
  std::span<char> NextFree();
  // Passes on the first `size` bytes of the buffer NextFree gave.
  // REQUIRES: 0 < size <= the buffer's size.
  void Pass(std::size_t size);
  // The stream ends after the chunks passed so far.
  void Close();
  // The producer failed: the consumer gets `error` after the chunks passed so far.
  void Fail(std::exception_ptr error);

  // Consumer side.

  // The next chunk, waiting until there is one; it stays valid until the next
  // Take or Abandon. Empty at the end of the stream. Throws the producer's failure
  // once the chunks passed before it are taken.
  std::span<const char> Take();
  // The consumer stops taking: the producer's next NextFree gives nothing, and a
  // producer waiting in it wakes.
  void Abandon();

 private:
  struct Chunk {
    std::size_t buffer;
    std::size_t size;
  };

  // Allocated when first filled, so a short stream takes one buffer.
  std::vector<std::unique_ptr<char[]>> buffers_;
  std::size_t buffer_size_;
  std::mutex mutex_;
  std::condition_variable freed_;   // a buffer became free, or the stream was abandoned
  std::condition_variable passed_;  // a chunk, the end or a failure was passed
  std::vector<std::size_t> free_;   // buffers neither filled nor taken
  std::deque<Chunk> passed_chunks_;
  std::size_t filling_ = 0;  // the buffer NextFree gave
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::size_t taken_ = kNone;  // the buffer Take gave, still in use
  bool closed_ = false;
  bool abandoned_ = false;
  std::exception_ptr failure_;
};

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XML_CHUNK_QUEUE_H_
