// BlockDocument: the part the whole-file and stream writers share. Lines are
// built one after the other in one large buffer and handed on a block of about
// a megabyte at a time, so a large document costs a few hundred writes.
#ifndef ZEROVA_CONVERSION_DOCUMENT_BLOCK_DOCUMENT_H_
#define ZEROVA_CONVERSION_DOCUMENT_BLOCK_DOCUMENT_H_

#include <cstddef>
#include <string>
#include <string_view>

#include "conversion/document/document_writer.h"

namespace zerova {

class BlockDocument : public DocumentWriter {
 public:
  BlockDocument() { lines_.reserve(kBlockBytes + kBlockBytes / 4); }

  std::string& NextLine() final { return lines_; }

  void EndLine() final {
    lines_.append("\r\n", 2);
    if (lines_.size() >= kBlockBytes) Flush();
  }

 protected:
  // Hands the lines built so far to WriteBlock and empties the buffer.
  void Flush() {
    const std::string_view block = lines_;
    if (!block.empty()) WriteBlock(block);
    lines_.clear();
  }

  // Writes `block`, whole lines. Throws FileSystemError as EndLine does.
  virtual void WriteBlock(std::string_view block) = 0;

 private:
  // The lines are handed on once they fill this many bytes.
  static constexpr std::size_t kBlockBytes = 1 << 20;

  std::string lines_;  // complete lines not yet written, then the one being built
};

}  // namespace zerova

#endif  // ZEROVA_CONVERSION_DOCUMENT_BLOCK_DOCUMENT_H_
