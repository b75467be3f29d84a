// What a stopped conversion says, and what a refusal says it left, in one
// table: the command line's lines, the window's boxes and a second stop
// signal's last words all take them from here.
// A message is "FILE: " and one of these, FILE being the spreadsheet while
// nothing was written yet, and the document once it was begun.
#ifndef ZEROVA_CONVERSION_STOP_TEXTS_H_
#define ZEROVA_CONVERSION_STOP_TEXTS_H_

namespace zerova {

// Stopped while the workbook was read or awaited: no document was touched.
inline constexpr char kCancelledBeforeWriting[] =
    "the conversion was cancelled before anything was written";

// Stopped while the document was written: this, then what the stop left of it.
inline constexpr char kCancelledLeaving[] = "the conversion was cancelled; ";

// What a stop leaves of the document, after kCancelledLeaving.
inline constexpr char kIncompleteRemoved[] = "the incomplete document was removed";
inline constexpr char kEarlierDocumentKept[] = "the earlier document was left as it was";
inline constexpr char kNoDocumentWritten[] = "no document was written";
inline constexpr char kStreamIncomplete[] = "the document written there is incomplete";
inline constexpr char kOtherFileKept[] =
    "another file had been put in the document's place, and it was left as it is";

// A check before the default document is emptied failed: it was not touched.
inline constexpr char kDocumentKept[] = "the document was left as it was";

// The user declined to give a workbook's password (the window's question).
inline constexpr char kNoPasswordGiven[] = "no password was given; the conversion was cancelled";

// Stopped once the document was complete and in place, before the run said so.
inline constexpr char kCompleteWhenStopped[] =
    "the document was complete when the program was stopped";

// Stopped while the sheets of a workbook were being listed.
inline constexpr char kListingCancelled[] = "the listing of the sheets was cancelled";

}  // namespace zerova

#endif  // ZEROVA_CONVERSION_STOP_TEXTS_H_
