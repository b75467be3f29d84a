// The document on an open stream: standard output, or a pipe or a device the
// user named. Nothing is removed after a stop: what was written is the reader's.
#include <cerrno>
#include <utility>

#include "conversion/document/block_document.h"
#include "conversion/document/document_room.h"
#include "conversion/stop_texts.h"
#include "services/error.h"

namespace zerova {
namespace {

class StreamDocument final : public BlockDocument {
 public:
  StreamDocument(std::FILE* stream, std::string name, std::uint64_t size_limit)
      : stream_(stream), name_(std::move(name)), size_limit_(size_limit) {}

  const std::string& name() const override { return name_; }
  Measure measure() const override {
    return size_limit_ == FileSystem::kNoLimit ? Measure::kLines : Measure::kExact;
  }

  void Prepare(std::uint64_t bytes) override {
    CheckRoom(name_, bytes, FileSystem::kUnknownSpace, size_limit_, kNoDocumentWritten);
  }
  DocumentAtStake AtStake() const override {
    return DocumentAtStake::Begun(name_, "", {}, kStreamIncomplete);
  }
  void Start() override {}

  void Finish() override {
    Flush();
    if (std::fflush(stream_) != 0 || std::ferror(stream_)) {
      throw PosixError(name_, "write the document", errno);
    }
  }

  // What is built goes out too: a reader of a stream takes what it gets.
  std::string Abandon() override {
    try {
      Flush();
      std::fflush(stream_);
    } catch (const FileSystemError&) {
      // The document there is incomplete either way.
    }
    return kStreamIncomplete;
  }

 private:
  void WriteBlock(std::string_view block) override {
    if (std::fwrite(block.data(), 1, block.size(), stream_) != block.size()) {
      throw PosixError(name_, "write the document", errno);
    }
  }

  std::FILE* stream_;
  std::string name_;
  std::uint64_t size_limit_;
};

}  // namespace

std::unique_ptr<DocumentWriter> NewStreamDocument(std::FILE* stream, std::string name,
                                                  std::uint64_t size_limit) {
  return std::make_unique<StreamDocument>(stream, std::move(name), size_limit);
}

}  // namespace zerova
