// DocumentGuard: the file system the command line gives a run. It passes every
// call on to the local disk and watches one thing: the document the run locks
// and empties. From the moment the run empties it until the run lets it go
// (finished, or removed after a stop), a second stop signal removes it (see
// stop_signals.h); before that moment, an earlier document is never touched.
#ifndef ZEROVA_CLI_DOCUMENT_GUARD_H_
#define ZEROVA_CLI_DOCUMENT_GUARD_H_

#include <memory>
#include <string>

#include "services/file_system.h"

namespace zerova {

// Wraps `base`, which must outlive the result. While a document is being
// written, a second signal removes it and says so as a stop does: "zerova:
// DOCUMENT: the conversion was cancelled; the incomplete document was removed",
// after `line_start` ("\r" when a progress line may be on the terminal). Once
// the run lets the document go, a second signal just ends the program.
std::unique_ptr<FileSystem> NewDocumentGuard(FileSystem& base, std::string line_start);

}  // namespace zerova

#endif  // ZEROVA_CLI_DOCUMENT_GUARD_H_
