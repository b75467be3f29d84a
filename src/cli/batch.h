// The documents of a batch, `zerova --outdir DIR FILE...`: each FILE is
// converted into DIR/NAME.xml, NAME being FILE's name without its last extension
// (with --keep-extension, with it: NAME.EXT.xml); with --all-sheets each of its
// worksheets into DIR/NAME.SHEET.xml. A failing FILE does not stop the others;
// a stop does.
#ifndef ZEROVA_CLI_BATCH_H_
#define ZEROVA_CLI_BATCH_H_

#include <string>
#include <vector>

#include "cli/converter.h"
#include "services/workbook.h"

namespace zerova {

struct BatchItem {
  std::string file;  // as given
  std::string stem;  // DIR/NAME (DIR as given), to which ".xml" or ".SHEET.xml" is added
};

// The items of `files` in `outdir`, in the order given. When two FILEs would
// have the same NAME, nothing is planned and `*refusal` names every such pair
// ("a/x.xls and b/x.ods would both be converted into out/x.xml; c/y.xls and
// ..."), suggesting --keep-extension where it would part them.
std::vector<BatchItem> PlanBatch(const std::string& outdir, const std::vector<std::string>& files,
                                 bool keep_extension, std::string* refusal);

// The SHEET part of each of `sheets`' document names, made safe for a file name:
// the sheet's name with '/', '\' and control characters (U+0000 to U+001F,
// U+007F) as '_', a leading '.' as '_', the empty name as '_', cut to at most 200
// bytes (at a character's end); a result that equals an earlier sheet's but for
// case (A-Z) gets "-N" added, N the sheet's number from 1. Unique, whatever the
// file system's treatment of case.
std::vector<std::string> SheetFileNames(const std::vector<SheetInfo>& sheets);

// Converts each FILE of `batch` into --outdir, each sheet with --all-sheets,
// and closes with a count of what was done unless -q, or for a lone FILE
// without --all-sheets. Returns the exit status (Worse of all).
int ConvertBatch(Converter& converter, const std::vector<BatchItem>& batch);

}  // namespace zerova

#endif  // ZEROVA_CLI_BATCH_H_
