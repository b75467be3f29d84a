#include "cli/document_guard.h"

#include <utility>

#include "cli/stop_signals.h"
#include "services/error.h"
#include "services/forwarding_file_system.h"

namespace zerova {
namespace {

// The lock on the document: emptying it arms the second signal; letting it go
// disarms it.
class GuardedLock final : public FileLock {
 public:
  GuardedLock(std::unique_ptr<FileLock> base, std::string path, std::string notice)
      : base_(std::move(base)), path_(std::move(path)), notice_(std::move(notice)) {}
  ~GuardedLock() override { DisarmSecondSignal(); }

  FileId id() const override { return base_->id(); }

  // Armed before the file is emptied: once the run empties it, the earlier
  // document is gone either way.
  void Truncate() override {
    ArmSecondSignal(notice_, path_, base_->id());
    base_->Truncate();
  }

 private:
  std::unique_ptr<FileLock> base_;
  std::string path_;
  std::string notice_;
};

class DocumentGuard final : public ForwardingFileSystem {
 public:
  DocumentGuard(FileSystem& base, std::string line_start)
      : ForwardingFileSystem(base), line_start_(std::move(line_start)) {}

  std::unique_ptr<FileLock> LockFile(const std::string& path) override {
    std::unique_ptr<FileLock> lock = ForwardingFileSystem::LockFile(path);
    if (lock == nullptr) return nullptr;
    const Error removed(path, "the conversion was cancelled; the incomplete document was removed");
    return std::make_unique<GuardedLock>(std::move(lock), path,
                                         line_start_ + "zerova: " + removed.what() + "\n");
  }

 private:
  std::string line_start_;
};

}  // namespace

std::unique_ptr<FileSystem> NewDocumentGuard(FileSystem& base, std::string line_start) {
  return std::make_unique<DocumentGuard>(base, std::move(line_start));
}

}  // namespace zerova
