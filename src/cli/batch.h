// The documents of `zerova --outdir DIR FILE...`: each FILE is converted into
// DIR/NAME.xml, NAME being FILE's name without its last extension.
#ifndef ZEROVA_CLI_BATCH_H_
#define ZEROVA_CLI_BATCH_H_

#include <string>
#include <vector>

namespace zerova {

struct BatchItem {
  std::string file;      // as given
  std::string document;  // DIR/NAME.xml, DIR as given
};

// The documents of `files` in `outdir`, in the order given. When two FILEs
// would have the same document, nothing is planned and `*refusal` says which
// ("a/x.xls and b/x.ods would both be converted into out/x.xml").
std::vector<BatchItem> PlanBatch(const std::string& outdir, const std::vector<std::string>& files,
                                 std::string* refusal);

}  // namespace zerova

#endif  // ZEROVA_CLI_BATCH_H_
