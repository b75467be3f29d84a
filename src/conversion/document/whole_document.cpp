// The document a user names (-o FILE, --outdir): written whole to a temporary
// file beside its name, then renamed over it in one step. Until that rename an
// earlier file of the name stays byte for byte; after a failure or a stop the
// temporary file is removed, and nothing else changed. Once the document is in
// place, the temporary files of runs into the name that were killed outright
// go too.
#include <utility>

#include "conversion/document/block_document.h"
#include "conversion/document/document_room.h"
#include "conversion/stop_texts.h"
#include "services/error.h"

namespace zerova {
namespace {

class WholeDocument final : public BlockDocument {
 public:
  WholeDocument(FileSystem& file_system, std::string path)
      : file_system_(file_system), path_(std::move(path)) {}

  // A temporary file never put in place goes, whatever ended the run.
  ~WholeDocument() override { RemoveTemporary(); }

  const std::string& name() const override { return path_; }

  // Building every line twice would cost as much as writing them: an upper
  // bound is checked first, and the exact size only when it may not fit.
  Measure measure() const override { return Measure::kUpperBound; }
  bool Fits(std::uint64_t upper_bound) override {
    return zerova::Fits(upper_bound, file_system_.FreeSpaceBeside(path_),
                        file_system_.FileSizeLimit());
  }

  void Prepare(std::uint64_t bytes) override {
    RefuseWhatStandsThere(file_system_.Examine(path_));
    CheckRoom(path_, bytes, file_system_.FreeSpaceBeside(path_), file_system_.FileSizeLimit(),
              left());
    try {
      temporary_ = file_system_.CreateTemporaryFile(path_);
    } catch (const FileSystemError& e) {
      throw FileSystemError(e.file(), e.detail() + "; " + left());
    }
  }

  DocumentAtStake AtStake() const override {
    return DocumentAtStake::Begun(path_, temporary_->path(), temporary_->id(), left());
  }

  void Start() override {}

  void Finish() override {
    Flush();  // WriteBlock words its own failure
    try {
      temporary_->Close();
      file_system_.ReplaceFile(temporary_->path(), path_);
    } catch (const FileSystemError& e) {
      RemoveTemporary();
      throw FileSystemError(path_, e.detail() + "; " + left());
    }
    temporary_.reset();
    // What runs into this name that were killed outright left behind.
    file_system_.RemoveAbandonedTemporaryFiles(path_);
  }

  std::string Abandon() override {
    RemoveTemporary();
    return left();
  }

 private:
  // Only a regular file, or nothing, may be replaced.
  void RefuseWhatStandsThere(PathKind kind) {
    switch (kind) {
      case PathKind::kMissing:
        return;
      case PathKind::kFile:
      case PathKind::kEmptyFile:
        earlier_ = true;
        return;
      case PathKind::kReadOnlyFile:
        throw FileSystemError(path_, "the file is read-only; it was left as it was");
      case PathKind::kFolder:
        throw FileSystemError(path_, "is a folder, not a file; nothing was written");
      case PathKind::kLink:
        throw FileSystemError(path_,
                              "a symbolic link stands in the file's place; it is not followed");
      case PathKind::kOther:
        break;
    }
    throw FileSystemError(path_, "is not a regular file; nothing is written to it");
  }

  void WriteBlock(std::string_view block) override {
    try {
      temporary_->Write(block);
    } catch (const FileSystemError& e) {
      RemoveTemporary();
      throw FileSystemError(path_, e.detail() + "; " + left());
    }
  }

  // Removes the temporary file, if it is still there and still ours.
  void RemoveTemporary() noexcept {
    if (temporary_ == nullptr) return;
    const std::unique_ptr<NewFile> file = std::move(temporary_);
    const std::string path = file->path();
    const FileId id = file->id();
    try {
      file->Close();
    } catch (const FileSystemError&) {
      // It goes all the same.
    }
    try {
      file_system_.RemoveFileIfSame(path, id);
    } catch (const FileSystemError&) {
      // Nothing more can be done for it; the document's name was never touched.
    }
  }

  // What a failure or a stop leaves: the earlier document, if there was one.
  std::string left() const { return earlier_ ? kEarlierDocumentKept : kNoDocumentWritten; }

  FileSystem& file_system_;
  std::string path_;
  bool earlier_ = false;                // a file stood at path_ before the run
  std::unique_ptr<NewFile> temporary_;  // until it is put in place or removed
};

}  // namespace

std::unique_ptr<DocumentWriter> NewWholeDocument(FileSystem& file_system, std::string path) {
  return std::make_unique<WholeDocument>(file_system, std::move(path));
}

}  // namespace zerova
