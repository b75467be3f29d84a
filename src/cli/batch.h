// The documents of a batch, `zerova --outdir DIR FILE...`: each FILE is
// converted into DIR/NAME.xml, NAME being FILE's name without its last extension
// (with --keep-extension, with it: NAME.EXT.xml); with --all-sheets each of its
// worksheets into DIR/NAME.SHEET.xml. A name another document of the batch
// holds already gets "-2", "-3", ... and a note (cli/document_names.h); a
// failing FILE does not stop the others; a stop does.
#ifndef ZEROVA_CLI_BATCH_H_
#define ZEROVA_CLI_BATCH_H_

#include <string>

#include "cli/converter.h"

namespace zerova {

// The NAME of FILE's document: its file name without the last extension (a
// leading dot starts none), or with it when `keep_extension`; "_" for a FILE
// without a name ("dir/").
std::string DocumentStem(const std::string& file, bool keep_extension);

// The SHEET part of a sheet's document name: the sheet's name with '/', '\' and
// control characters (U+0000 to U+001F, U+007F) as '_', a leading '.' as '_',
// the empty name as '_'.
std::string SheetStem(const std::string& sheet_name);

// Converts the FILEs of the converter's options into --outdir, each sheet with
// --all-sheets, and closes with a count of what was done unless -q, or for a
// lone FILE without --all-sheets. Returns the exit status (Worse of all).
int ConvertBatch(Converter& converter);

}  // namespace zerova

#endif  // ZEROVA_CLI_BATCH_H_
