// XlsxCellPipe: a worksheet's records handed from the thread that parses its
// XML to a thread that builds the sheet from them (XlsxSheetBuilder), a batch
// at a time.
//
// Parsing a large part takes a core; checking, deciding and storing its cells
// takes a good part of another, which the inflating thread leaves mostly idle.
// The parser fills one batch while the builder works through the batch before
// it; both wait when the other is behind, so memory stays at a few batches.
//
// The builder's first failure stays with the pipe: the parser meets it at its
// next Pass, or at Finish. A failure of the parsing thread can come after a
// fault in a cell before it, still with the builder: Finish then throws that
// fault, the first in the part.
#ifndef ZEROVA_FORMATS_XLSX_CELL_PIPE_H_
#define ZEROVA_FORMATS_XLSX_CELL_PIPE_H_

#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

#include "formats/xlsx/cell_records.h"
#include "formats/xlsx/sheet_builder.h"

namespace zerova {

class XlsxCellPipe {
 public:
  // Starts the building thread; `builder` must outlive the pipe.
  explicit XlsxCellPipe(XlsxSheetBuilder& builder);
  XlsxCellPipe(const XlsxCellPipe&) = delete;
  XlsxCellPipe& operator=(const XlsxCellPipe&) = delete;
  // Stops the building thread, whatever it was doing, and joins it.
  ~XlsxCellPipe();

  // The batch the parsing thread fills.
  XlsxCellBatch& batch() { return batches_[filling_]; }

  // Hands the batch over and starts an empty one, waiting while the builder
  // has the other. Throws the builder's failure once it has failed.
  void Pass();

  // Hands the last batch over and waits until the builder has added every
  // batch. Throws the builder's failure, if it failed; the builder is then
  // done, and may be used by the calling thread.
  void Finish();

 private:
  void Build();

  XlsxSheetBuilder& builder_;
  XlsxCellBatch batches_[2];  // each on cache lines of its own
  int filling_ = 0;           // the batch the parser fills
  bool passed_ = false;       // the other batch waits for the builder, or is being built
  bool stopping_ = false;     // the pipe is being destroyed
  std::exception_ptr failure_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::thread thread_;  // last: started once everything else is ready
};

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XLSX_CELL_PIPE_H_
