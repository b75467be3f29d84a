// FixedProgramFolder: a file system whose program's folder is the one found
// when it was made.
//
// The local disk finds the program's folder from the running program's own
// file, which a package upgrade may replace or remove while the window is
// open; the window finds it at its start instead, as the command line does at
// its own. A failure to find it then is kept, and thrown by each ProgramFolder.
// Every other call goes to the file system it wraps.
#ifndef ZEROVA_WINDOW_FIXED_PROGRAM_FOLDER_H_
#define ZEROVA_WINDOW_FIXED_PROGRAM_FOLDER_H_

#include <exception>
#include <memory>
#include <string>
#include <utility>

#include "services/file_system.h"
#include "services/forwarding_file_system.h"

namespace zerova {

class FixedProgramFolder final : public ForwardingFileSystem {
 public:
  explicit FixedProgramFolder(std::unique_ptr<FileSystem> base)
      : ForwardingFileSystem(*base), base_(std::move(base)) {
    try {
      folder_ = base_->ProgramFolder();
    } catch (...) {
      failure_ = std::current_exception();
    }
  }

  std::string ProgramFolder() override {
    if (failure_) std::rethrow_exception(failure_);
    return folder_;
  }

 private:
  std::unique_ptr<FileSystem> base_;
  std::string folder_;
  std::exception_ptr failure_;
};

}  // namespace zerova

#endif  // ZEROVA_WINDOW_FIXED_PROGRAM_FOLDER_H_
