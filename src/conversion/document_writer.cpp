#include "conversion/document_writer.h"

#include <cerrno>
#include <utility>

#include "conversion/append_line.h"
#include "services/error.h"

namespace zerova {
namespace {

constexpr const char* kDocumentBusy = "another conversion is writing this document";

// "1.5 GB", "300 MB", "12 KB", "512 bytes": a size as a person reads it.
std::string SizeText(std::uint64_t bytes) {
  constexpr const char* kUnits[] = {"bytes", "KB", "MB", "GB", "TB", "PB"};
  if (bytes < 1000) return std::to_string(bytes) + " bytes";
  double value = static_cast<double>(bytes);
  int unit = 0;
  while (value >= 1000 && unit < 5) {
    value /= 1000;
    ++unit;
  }
  char text[32];
  std::snprintf(text, sizeof text, value < 10 ? "%.1f %s" : "%.0f %s", value, kUnits[unit]);
  return text;
}

class FileDocument final : public DocumentWriter {
 public:
  FileDocument(FileSystem& file_system, std::string path)
      : file_system_(file_system), path_(std::move(path)) {}

  const std::string& name() const override { return path_; }

  void Begin(std::uint64_t bytes) override {
    scratch_ = ScratchFileForRun(file_system_);
    CheckScratchFile(file_system_, scratch_);
    const std::uint64_t space = file_system_.SpaceFor(path_);
    if (space != FileSystem::kUnknownSpace && bytes > space) {
      throw FileSystemError(path_, "not enough free space for the document: it needs " +
                                       SizeText(bytes) + ", and " + SizeText(space) + " are free");
    }
    lock_ = file_system_.LockFile(path_);
    if (!lock_) throw FileSystemError(path_, kDocumentBusy);
    lock_->Truncate();
  }

  std::string& NextLine() override {
    line_.clear();
    return line_;
  }

  void EndLine() override { AppendLine(file_system_, scratch_, path_, line_, *lock_); }

  void Finish() override { lock_.reset(); }

  // Only the file this run locked is removed: one put in its place since stays.
  std::string Abandon() override {
    const std::unique_ptr<FileLock> lock = std::move(lock_);
    if (lock == nullptr) return "nothing was written";
    try {
      if (file_system_.RemoveLockedFile(path_, *lock)) return "the incomplete document was removed";
    } catch (const FileSystemError& e) {
      return "the incomplete document could not be removed: " + e.detail();
    }
    return "another file had been put in the document's place, and it was left as it is";
  }

 private:
  FileSystem& file_system_;
  std::string path_;
  std::string scratch_;  // renewed before each line; empty: none
  std::unique_ptr<FileLock> lock_;
  std::string line_;  // the line being built
};

class StreamDocument final : public DocumentWriter {
 public:
  StreamDocument(std::FILE* stream, std::string name) : stream_(stream), name_(std::move(name)) {
    lines_.reserve(kBlockBytes + kBlockBytes / 4);
  }

  const std::string& name() const override { return name_; }
  void Begin(std::uint64_t) override {}

  std::string& NextLine() override { return lines_; }

  void EndLine() override {
    lines_.append("\r\n", 2);
    if (lines_.size() >= kBlockBytes) Write();
  }

  void Finish() override {
    Write();
    if (std::fflush(stream_) != 0 || std::ferror(stream_)) {
      throw PosixError(name_, "write the document", errno);
    }
  }

  std::string Abandon() override {
    if (std::fwrite(lines_.data(), 1, lines_.size(), stream_) == lines_.size()) {
      std::fflush(stream_);
    }
    lines_.clear();
    return "the document written there is incomplete";
  }

 private:
  // The lines are written once they fill this many bytes.
  static constexpr std::size_t kBlockBytes = 1 << 20;

  // Writes the lines built so far.
  void Write() {
    const bool written = std::fwrite(lines_.data(), 1, lines_.size(), stream_) == lines_.size();
    lines_.clear();
    if (!written) throw PosixError(name_, "write the document", errno);
  }

  std::FILE* stream_;
  std::string name_;
  std::string lines_;  // complete lines not yet written, then the one being built
};

}  // namespace

std::unique_ptr<DocumentWriter> NewFileDocument(FileSystem& file_system, std::string path) {
  return std::make_unique<FileDocument>(file_system, std::move(path));
}

std::unique_ptr<DocumentWriter> NewStreamDocument(std::FILE* stream, std::string name) {
  return std::make_unique<StreamDocument>(stream, std::move(name));
}

}  // namespace zerova
