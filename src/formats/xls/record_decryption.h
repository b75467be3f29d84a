// The decryption pass over an encrypted workbook stream ([MS-XLS] 2.2.10).
//
// Runs before any record is parsed: finds FILEPASS among the workbook globals,
// gets the key (filepass.h), then decrypts every record body after it in place,
// in the stream's own buffer. Record headers stay as they are, as do the records
// that are never encrypted (BOF, FILEPASS, INTERFACEHDR, FILELOCK, USREXCL,
// RRDINFO, RRDHEAD) and BOUNDSHEET's first four bytes, the sheet's stream offset.
// The record reader then sees a clear stream, its FILEPASS record included.
#ifndef ZEROVA_FORMATS_XLS_RECORD_DECRYPTION_H_
#define ZEROVA_FORMATS_XLS_RECORD_DECRYPTION_H_

#include <cstdint>
#include <span>
#include <string>

#include "services/password_source.h"
#include "services/read_progress.h"

namespace zerova {

// True iff the globals of the workbook stream `stream` hold a FILEPASS record:
// the stream is encrypted. Changes nothing.
bool HoldsFilepass(std::span<const std::uint8_t> stream);

// Decrypts the workbook stream `stream` in place when its globals hold a FILEPASS
// record, and returns true; returns false, touching nothing, when they hold none.
// A stream that does not begin with a BOF record, or whose records run past its
// end before FILEPASS, is left for the record reader to refuse. Asks `progress`
// (null: nobody) whether to stop before each password and every 64 KB
// decrypted. Throws ReadError naming `file` as UnlockFilepass does, Cancelled
// when `progress` answers a stop.
bool DecryptWorkbookStream(std::span<std::uint8_t> stream, const std::string& file,
                           PasswordSource* passwords, ReadProgress* progress = nullptr);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XLS_RECORD_DECRYPTION_H_
