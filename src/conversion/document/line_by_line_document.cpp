// ./xmlstructure.xml as the original design writes it: each line appended with
// its own open, write and close, the scratch file renewed before each, so that
// at every moment the file holds exactly the lines written so far. The run
// holds a lock on it meanwhile, so a second run on the same document is refused.
#include <utility>

#include "conversion/document/append_line.h"
#include "conversion/document/document_room.h"
#include "conversion/document/document_writer.h"
#include "conversion/stop_texts.h"
#include "services/error.h"

namespace zerova {
namespace {

constexpr char kDocumentBusy[] = "another conversion is writing this document";

class LineByLineDocument final : public DocumentWriter {
 public:
  LineByLineDocument(FileSystem& file_system, std::string path)
      : file_system_(file_system), path_(std::move(path)) {}

  const std::string& name() const override { return path_; }

  void Prepare(std::uint64_t bytes) override {
    scratch_ = ScratchFileForRun(file_system_);
    if (scratch_ == path_) {
      throw FileSystemError(path_,
                            "the document would be the scratch file renewed before each of its "
                            "lines; nothing was written");
    }
    Scratch([this] { CheckScratchFile(file_system_, scratch_); });
    CheckRoom(path_, bytes, file_system_.SpaceFor(path_), file_system_.FileSizeLimit(),
              kDocumentKept);
    if (file_system_.Examine(path_) == PathKind::kReadOnlyFile) {
      Refuse("the file is read-only", MakeWritableAdvice());
    }
    lock_ = file_system_.LockFile(path_);
    if (!lock_) throw FileSystemError(path_, kDocumentBusy);
    RefuseWhatTheLockFound(lock_->facts());
    TryWhatEachLineDoes();
  }

  DocumentAtStake AtStake() const override {
    return DocumentAtStake::Begun(path_, path_, lock_->id(), kIncompleteRemoved);
  }

  void Start() override { lock_->Truncate(); }

  std::string& NextLine() override {
    line_.clear();
    return line_;
  }

  void EndLine() override {
    try {
      AppendLine(file_system_, scratch_, path_, line_, *lock_);
    } catch (const FileSystemError& e) {
      throw Incomplete(e);
    }
    ++lines_;
    bytes_ += line_.size() + 2;
  }

  // A document another program cut short (or wrote into) meanwhile holds
  // other bytes than the lines written: it is no success.
  void Finish() override {
    const std::uint64_t size = lock_->Size();
    lock_.reset();
    if (size == FileLock::kUnknownSize || size == bytes_) return;
    throw FileSystemError(path_,
                          "another program changed the document during the conversion: it holds " +
                              std::to_string(size) + " bytes, where " + std::to_string(bytes_) +
                              " were written; the document is incomplete");
  }

  // Only the file this run locked is removed: one put in its place since stays.
  std::string Abandon() override {
    const std::unique_ptr<FileLock> lock = std::move(lock_);
    if (lock == nullptr) return kNoDocumentWritten;
    try {
      if (file_system_.RemoveFileIfSame(path_, lock->id())) return kIncompleteRemoved;
    } catch (const FileSystemError& e) {
      return "the incomplete document could not be removed: " + e.detail();
    }
    return kOtherFileKept;
  }

 private:
  // Throws the refusal of the document, for `why`, before it is touched.
  [[noreturn]] void Refuse(const std::string& why, const std::string& what_to_do) {
    lock_.reset();
    throw RefusedDocumentError(path_, why + "; " + kDocumentKept + "; " + what_to_do);
  }

  // Refuses a file whose bytes are not this run's alone to replace: one with
  // other names, or another user's in a folder open to all.
  void RefuseWhatTheLockFound(const LockedFileFacts& facts) {
    if (facts.names > 1) {
      const std::uint64_t others = facts.names - 1;
      Refuse("the file is also under " +
                 (others == 1 ? std::string("another name (a hard link)")
                              : std::to_string(others) + " other names (hard links)") +
                 ", whose bytes writing into it would change too",
             others == 1 ? "remove the link" : "remove the links");
    }
    if (facts.others_in_shared_folder) {
      Refuse("the file is another user's, in a folder open to all", "ask its owner to remove it");
    }
  }

  // Renews the scratch file and opens the document for appending once, with
  // the lock held, so that what would fail at the first line (no inode left,
  // another user's scratch file, too many open files) fails before the
  // document is emptied.
  void TryWhatEachLineDoes() {
    try {
      if (!scratch_.empty()) Scratch([this] { RenewScratchFile(file_system_, scratch_); });
      file_system_.CheckAppendable(path_, *lock_);
    } catch (const ScratchFileError&) {
      lock_.reset();
      throw;
    } catch (const FileSystemError& e) {
      lock_.reset();
      throw FileSystemError(e.file(), e.detail() + "; " + kDocumentKept);
    }
  }

  // Runs `step`, on the scratch file, before the document is touched: its
  // failure is a ScratchFileError that says the document was left as it was.
  template <class Step>
  static void Scratch(Step step) {
    try {
      step();
    } catch (const FileSystemError& e) {
      throw ScratchFileError(e.file(), e.detail() + "; " + kDocumentKept);
    }
  }

  // `cause`, a failure to write a line, with what it left: the lines the
  // document holds in full, when the document is still the one this run writes.
  FileSystemError Incomplete(const FileSystemError& cause) {
    std::string what = cause.detail();
    // Not when it was removed or another file stands in its place; when it
    // was only made read-only, say.
    if (file_system_.IsFileAt(path_, lock_->id())) {
      what.append("; the document ");
      if (cause.file() != path_) what.append(path_).append(" ");
      what.append("is incomplete: it holds ");
      what.append(lines_ == 0   ? "no complete line"
                  : lines_ == 1 ? "1 complete line"
                                : std::to_string(lines_) + " complete lines");
    }
    if (dynamic_cast<const ReplacedFileError*>(&cause) != nullptr) {
      return ReplacedFileError(cause.file(), what);
    }
    return FileSystemError(cause.file(), what);
  }

  FileSystem& file_system_;
  std::string path_;
  std::string scratch_;  // renewed before each line; empty: none
  std::unique_ptr<FileLock> lock_;
  std::string line_;         // the line being built
  std::int64_t lines_ = 0;   // lines written in full
  std::uint64_t bytes_ = 0;  // their bytes, CR LF included
};

}  // namespace

std::unique_ptr<DocumentWriter> NewLineByLineDocument(FileSystem& file_system, std::string path) {
  return std::make_unique<LineByLineDocument>(file_system, std::move(path));
}

}  // namespace zerova
