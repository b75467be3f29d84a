// ClippingNote: the sentence that tells the user a sheet reached past the
// limits of a worksheet and what was left out, shown after the completion
// message (on stderr, and in the window's box).
#ifndef ZEROVA_CONVERSION_CLIPPING_NOTE_H_
#define ZEROVA_CONVERSION_CLIPPING_NOTE_H_

#include <string>

#include "services/worksheet.h"

namespace zerova {

// "" when nothing was dropped; else, for instance, "the sheet has cells past
// column 16,384 (XFD); they were left out, as Excel leaves them out".
std::string ClippingNote(const SheetClipping& clipping);

}  // namespace zerova

#endif  // ZEROVA_CONVERSION_CLIPPING_NOTE_H_
