// ReadProgress: how a reader at work says how far it has got, and where it
// notices that the user asked to stop.
//
// A reader consumes its input front to back (a zip's members, a record stream,
// XML text) and reports every 64 KB or so through an InputMeter; whoever runs the
// reader (the conversion) shows the figure and answers a stop by throwing
// Cancelled out of the report. The reader lets that exception pass: every handle
// it holds is owned by an object that frees it. So a stop takes effect within a
// few milliseconds of reading, whatever the file.
#ifndef ZEROVA_SERVICES_READ_PROGRESS_H_
#define ZEROVA_SERVICES_READ_PROGRESS_H_

#include <cstdint>

namespace zerova {

class ReadProgress {
 public:
  ReadProgress() = default;
  ReadProgress(const ReadProgress&) = delete;
  ReadProgress& operator=(const ReadProgress&) = delete;
  virtual ~ReadProgress() = default;

  // `done` of the input's `total` bytes are consumed (total > 0; done may pass
  // total a little where a reader estimates). Called on the reading thread, or
  // on a thread it waits for meanwhile (an .xlsx part is inflated on one), never
  // on two threads at once. Throws Cancelled when the user asked to stop.
  virtual void Reached(std::uint64_t done, std::uint64_t total) = 0;

  // Throws Cancelled when the user asked to stop; for long work that consumes
  // no input (deriving a key from a password, say).
  virtual void CheckStop() = 0;
};

// Reports a reader's position in an input of known size to a ReadProgress, at
// most once per kStep bytes. A null progress reports nothing.
class InputMeter {
 public:
  static constexpr std::uint64_t kStep = 64 * 1024;

  InputMeter() = default;
  InputMeter(ReadProgress* progress, std::uint64_t total)
      : progress_(progress), total_(total > 0 ? total : 1) {}

  // The reader stands at byte `position` of the input. Throws Cancelled as
  // ReadProgress::Reached does.
  void At(std::uint64_t position) {
    if (progress_ != nullptr && position >= next_) {
      next_ = position + kStep;
      progress_->Reached(position, total_);
    }
  }

  ReadProgress* progress() const { return progress_; }

 private:
  ReadProgress* progress_ = nullptr;
  std::uint64_t total_ = 1;
  std::uint64_t next_ = 0;
};

// Counts units of long work that consume no input (hash iterations, cells) and
// asks whether to stop once per `step` of them.
class StopCheck {
 public:
  StopCheck(ReadProgress* progress, std::uint64_t step) : progress_(progress), step_(step) {}

  // `units` more units done (one by default). Throws Cancelled as
  // ReadProgress::CheckStop does.
  void Tick(std::uint64_t units = 1) {
    if (progress_ != nullptr && (count_ += units) >= step_) {
      count_ = 0;
      progress_->CheckStop();
    }
  }

 private:
  ReadProgress* progress_;
  std::uint64_t step_;
  std::uint64_t count_ = 0;
};

}  // namespace zerova

#endif  // ZEROVA_SERVICES_READ_PROGRESS_H_
