// DocumentWriter: where the run's lines go. Three writers, one per way a user
// asks for the document:
//
// - LineByLineDocument: ./xmlstructure.xml, as the original design writes it
//   for the window and a bare `zerova FILE`: each line appended with its own
//   open, write and close (AppendLine), the scratch file renewed before each,
//   so that at every moment the file holds exactly the lines written so far.
// - WholeDocument: a file the user names (-o FILE, --outdir): the document is
//   written to a new temporary file beside it in large blocks, then renamed
//   over the name in one step, so no reader ever sees a part of it and an
//   earlier file of that name stays as it is until then.
// - StreamDocument: an open stream (standard output, a pipe, a device the user
//   names), written a large block at a time.
//
// A run calls Prepare, Start, then NextLine and EndLine for each line, and
// Finish; or, when it stops, Abandon. A writer that fails cleans up after
// itself (a temporary file is removed); what the message says it left is so.
#ifndef ZEROVA_CONVERSION_DOCUMENT_DOCUMENT_WRITER_H_
#define ZEROVA_CONVERSION_DOCUMENT_DOCUMENT_WRITER_H_

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "conversion/document/document_size.h"
#include "services/file_system.h"
#include "services/run_hooks.h"

namespace zerova {

class DocumentWriter {
 public:
  DocumentWriter() = default;
  DocumentWriter(const DocumentWriter&) = delete;
  DocumentWriter& operator=(const DocumentWriter&) = delete;
  virtual ~DocumentWriter() = default;

  // The document as messages name it: a file's full path, or a stream's name.
  virtual const std::string& name() const = 0;

  // How closely the run measures the document before Prepare: as closely as
  // the writer's checks need (a stream without a limit needs its lines alone).
  virtual Measure measure() const { return Measure::kExact; }

  // False when a document of at most `upper_bound` bytes may not fit where it
  // goes: the run then measures it exactly. Never throws.
  virtual bool Fits(std::uint64_t /*upper_bound*/) { return true; }

  // Checks all that can be known before an earlier document is touched, for a
  // document of `bytes` bytes as measure() asks (0: not counted), and gets ready
  // to write it.
  // Throws FileSystemError, with an earlier document left as it was, when a
  // check fails.
  virtual void Prepare(std::uint64_t bytes) = 0;

  // What a sudden end of the program must clean up from now on, and say.
  // REQUIRES: Prepare succeeded.
  virtual DocumentAtStake AtStake() const = 0;

  // Begins the document: the line-by-line writer empties an earlier one.
  // Throws FileSystemError.
  virtual void Start() = 0;

  // Where the next line is built: the run appends its text, without CR LF, to
  // the end of this buffer, then calls EndLine. Valid until the next call.
  virtual std::string& NextLine() = 0;

  // The line built since NextLine is complete: adds CR LF and writes it (or
  // keeps it for the next block). Throws FileSystemError when it cannot be
  // written, the message saying what became of the document.
  virtual void EndLine() = 0;

  // The last line is written: the document is made complete and put in place.
  // Throws FileSystemError when that fails, saying what became of it.
  virtual void Finish() = 0;

  // The run stopped: removes the incomplete document where it can, and says
  // what became of it (one of stop_texts.h's). Never throws.
  virtual std::string Abandon() = 0;
};

// ./xmlstructure.xml, or another `path` (a full path), written line by line:
// Prepare checks the scratch file, the free space, the file-size limit and what
// stands in the document's place (a read-only file is refused), locks it,
// refuses a file with other names (hard links) or another user's in a folder
// open to all, and tries once what each line does (the scratch file's renewal,
// an open for appending); Start empties it. Finish fails, saying the document
// is incomplete, when its size is not that of the lines written (another
// program cut it short meanwhile).
std::unique_ptr<DocumentWriter> NewLineByLineDocument(FileSystem& file_system, std::string path);

// The file at `path` (a full path), written whole and renamed into place.
std::unique_ptr<DocumentWriter> NewWholeDocument(FileSystem& file_system, std::string path);

// `stream`, which must outlive the writer, written a block of lines at a time;
// `name` stands for it in messages. `size_limit`, when not FileSystem::kNoLimit,
// is the most it may take (a regular file under `ulimit -f`): Prepare refuses a
// larger document before writing anything.
std::unique_ptr<DocumentWriter> NewStreamDocument(std::FILE* stream, std::string name,
                                                  std::uint64_t size_limit = FileSystem::kNoLimit);

}  // namespace zerova

#endif  // ZEROVA_CONVERSION_DOCUMENT_DOCUMENT_WRITER_H_
