#include "formats/xlsx/cell_pipe.h"

namespace zerova {

XlsxCellPipe::XlsxCellPipe(XlsxSheetBuilder& builder)
    : builder_(builder), thread_([this] { Build(); }) {}

XlsxCellPipe::~XlsxCellPipe() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void XlsxCellPipe::Pass() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return !passed_ || failure_; });
  if (failure_) std::rethrow_exception(failure_);
  passed_ = true;
  filling_ = 1 - filling_;
  batches_[filling_].Clear();
  changed_.notify_all();
}

void XlsxCellPipe::Finish() {
  Pass();
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return !passed_ || failure_; });
  if (failure_) std::rethrow_exception(failure_);
}

// The building thread: adds each batch passed, until the pipe stops. Nothing
// escapes: a failure stays for the parsing thread.
void XlsxCellPipe::Build() {
  std::unique_lock lock(mutex_);
  while (true) {
    // After a failure the pipe takes nothing more: it waits for its end.
    changed_.wait(lock, [this] { return (passed_ && !failure_) || stopping_; });
    if (stopping_) return;
    const XlsxCellBatch& batch = batches_[1 - filling_];
    lock.unlock();
    std::exception_ptr failure;
    try {
      builder_.Add(batch);
    } catch (...) {
      failure = std::current_exception();
    }
    lock.lock();
    if (failure) {
      failure_ = failure;
    } else {
      passed_ = false;
    }
    changed_.notify_all();
  }
}

}  // namespace zerova
