// formats/ods/: the OpenDocument spreadsheet format. The zip and streaming XML
// come from formats/common; here are the namespaces, settings.xml, content.xml,
// one cell, and this entry.
//
// The .ods reader: the active table of an OpenDocument spreadsheet (ODF 1.2),
// held in a zip.
//
// settings.xml names the active table; content.xml is streamed and only that
// table is kept, in a SheetStore.
#ifndef ZEROVA_FORMATS_ODS_READER_H_
#define ZEROVA_FORMATS_ODS_READER_H_

#include <memory>

#include "formats/common/zip_archive.h"
#include "services/spreadsheet.h"

namespace zerova {

// True iff the zip's "mimetype" member is the OpenDocument spreadsheet type.
bool LooksLikeOds(ZipArchive& zip);

// Reads the active table of the spreadsheet in `zip` (the first table when
// settings.xml names none, or names a table that is not there). Throws ReadError
// naming the zip's file when a part is missing or malformed, or there is no table.
std::unique_ptr<Worksheet> ReadOds(ZipArchive& zip);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_ODS_READER_H_
