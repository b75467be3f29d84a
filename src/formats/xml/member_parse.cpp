#include "formats/xml/member_parse.h"

#include <exception>
#include <optional>
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

// The chunks the inflating thread passes, one at a time; the first can be
// looked at before it is given.
class QueueSource final : public SaxSource {
 public:
  explicit QueueSource(ChunkQueue& queue) : queue_(queue) {}

  // The first chunk, which the first Next gives. REQUIRES: Next not called yet.
  std::span<const char> First() {
    if (!first_taken_) {
      first_ = queue_.Take();
      first_taken_ = true;
    }
    return first_;
  }

  std::span<const char> Next() override {
    if (!first_given_) {
      first_given_ = true;
      return First();
    }
    return queue_.Take();
  }

 private:
  ChunkQueue& queue_;
  std::span<const char> first_;
  bool first_taken_ = false;
  bool first_given_ = false;
};

// Takes no part in what it is told.
class IgnoringHandler final : public SaxHandler {
 public:
  void StartElement(const SaxElement&) override {}
  void EndElement(int) override {}
  void Text(std::string_view) override {}
};

// Pushes what `source` gives to libxml2's push parser, for `handler`.
void PushAll(SaxSource& source, const std::string& file, const std::string& part,
             SaxHandler& handler) {
  SaxParser parser(handler, file, part);
  for (std::span<const char> piece; !(piece = source.Next()).empty();) parser.Push(piece);
  parser.Finish();
}

}  // namespace

void ParseXmlMember(ZipArchive& zip, const std::string& path, SaxHandler& handler,
                    MemberBuffers buffers, const std::string& named) {
  const std::string& part = named.empty() ? path : named;
  std::optional<ReadError> refusal;
  {
    ZipMember member = zip.Open(path);
    ChunkQueue queue(buffers.count, buffers.size);
    InflatingThread inflating(member, queue);
    QueueSource source(queue);
    // A document under four bytes is never well-formed, and the reading parser
    // may hand on the start of its element where the push parser does not: the
    // push parser reads it, as it always has.
    if (source.First().size() < 4) return PushAll(source, zip.file(), part, handler);
    SaxParser parser(handler, zip.file(), part, source);
    if (parser.Pull()) return;
    refusal = parser.MalformedError();
  }
  // Malformed. libxml2's push parser words some faults otherwise than its
  // reading parser, and the refusal has always had its words: once the first
  // reading has stopped, it reads the part again to word the fault, for a
  // handler that takes no part.
  {
    ZipMember member = zip.Reopen(path);
    ChunkQueue queue(buffers.count, buffers.size);
    InflatingThread inflating(member, queue);
    QueueSource source(queue);
    IgnoringHandler ignoring;
    PushAll(source, zip.file(), part, ignoring);
  }
  throw *refusal;  // the push parser found no fault, against all odds
}

}  // namespace zerova
