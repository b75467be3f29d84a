// DocumentWriter: where the run's lines go. FileDocument writes a file as the
// design has it, a line at a time with AppendLine; StreamDocument writes to an
// open stream (standard output), its lines built one after the other in one
// large buffer and written a block at a time.
#ifndef ZEROVA_CONVERSION_DOCUMENT_WRITER_H_
#define ZEROVA_CONVERSION_DOCUMENT_WRITER_H_

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "services/file_system.h"

namespace zerova {

class DocumentWriter {
 public:
  DocumentWriter() = default;
  DocumentWriter(const DocumentWriter&) = delete;
  DocumentWriter& operator=(const DocumentWriter&) = delete;
  virtual ~DocumentWriter() = default;

  // The document as messages name it: a file's full path, or "standard output".
  virtual const std::string& name() const = 0;

  // Checks all that can be known, then makes the document empty and ready for
  // `bytes` bytes (0: not counted). Throws FileSystemError, with an earlier
  // document left as it was, when a check fails.
  virtual void Begin(std::uint64_t bytes) = 0;

  // Where the next line is built: the run appends its text, without CR LF, to
  // the end of this buffer, then calls EndLine. Valid until the next call.
  virtual std::string& NextLine() = 0;

  // The line built since NextLine is complete: adds CR LF and writes it (a
  // stream document writes its lines in large blocks). Throws FileSystemError
  // when it cannot be written.
  virtual void EndLine() = 0;

  // The last line is written: the document is complete and released.
  // Throws FileSystemError when what is buffered cannot be written.
  virtual void Finish() = 0;

  // The run stopped: removes the incomplete document where it can, and says
  // what became of it ("the incomplete document was removed"). A file document
  // removes only the file it locked, never another put in its place since.
  // Never throws.
  virtual std::string Abandon() = 0;
};

// The file at `path` (a full path), written line by line: Begin checks the
// scratch file, the free space and the file in the document's place (no
// symbolic link, nothing but a regular file), locks it and empties it; each
// line renews the scratch file and appends to the locked file alone.
std::unique_ptr<DocumentWriter> NewFileDocument(FileSystem& file_system, std::string path);

// `stream`, which must outlive the writer, written a block of lines at a time.
std::unique_ptr<DocumentWriter> NewStreamDocument(std::FILE* stream, std::string name);

}  // namespace zerova

#endif  // ZEROVA_CONVERSION_DOCUMENT_WRITER_H_
