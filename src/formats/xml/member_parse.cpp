#include "formats/xml/member_parse.h"

#include <exception>
#include <thread>
#include <utility>

#include "formats/xml/chunk_queue.h"

namespace zerova {
namespace {

// Inflates `member` into `queue` until its end, a failure, or the consumer
// abandons it. Nothing escapes: a failure goes to the consumer.
void Inflate(ZipMember& member, ChunkQueue& queue) noexcept {
  try {
    while (true) {
      const std::span<char> buffer = queue.NextFree();
      if (buffer.empty()) return;
      const std::size_t size = member.Read(buffer.data(), buffer.size());
      if (size == 0) break;
      queue.Pass(size);
    }
    queue.Close();
  } catch (...) {
    queue.Fail(std::current_exception());
  }
}

// The inflating thread, which stops and is joined however the parsing ends.
class InflatingThread {
 public:
  InflatingThread(ZipMember& member, ChunkQueue& queue)
      : queue_(queue), thread_([&member, &queue] { Inflate(member, queue); }) {}
  InflatingThread(const InflatingThread&) = delete;
  InflatingThread& operator=(const InflatingThread&) = delete;
  ~InflatingThread() {
    queue_.Abandon();
    thread_.join();
  }

 private:
  ChunkQueue& queue_;
  std::thread thread_;
};

}  // namespace

void ParseXmlMember(ZipMember member, const std::string& file, SaxHandler& handler,
                    MemberBuffers buffers) {
  SaxParser parser(handler, file, member.path());
  ChunkQueue queue(buffers.count, buffers.size);
  InflatingThread inflating(member, queue);
  while (true) {
    const std::span<const char> chunk = queue.Take();
    if (chunk.empty()) break;
    parser.Push(chunk);
  }
  parser.Finish();
}

}  // namespace zerova
