// Case folding for names the user types: a sheet asked for by name, a file
// name that must differ from another in more than case.
#ifndef ZEROVA_SERVICES_CASE_FOLDING_H_
#define ZEROVA_SERVICES_CASE_FOLDING_H_

#include <string>
#include <string_view>

namespace zerova {

// The code points of the UTF-8 `text` with each letter in lower case, as
// Unicode maps it (each platform asks its own tables: src/platform/); each
// byte that begins no UTF-8 sequence stays as it is.
std::u32string FoldedCase(std::string_view text);

}  // namespace zerova

#endif  // ZEROVA_SERVICES_CASE_FOLDING_H_
