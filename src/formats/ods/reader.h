// formats/ods/: the OpenDocument spreadsheet format. The zip and streaming XML
// come from formats/containers and formats/xml; here are the namespaces, the view settings, the
// body, one cell, and these entries.
//
// The .ods reader: the tables of an OpenDocument spreadsheet (ODF 1.2), held in
// a zip (.ods) or written as one XML document (flat, .fods).
//
// The view settings name the active table; the body is streamed and only the
// table read is kept, in a SheetStore.
#ifndef ZEROVA_FORMATS_ODS_READER_H_
#define ZEROVA_FORMATS_ODS_READER_H_

#include <cstdint>
#include <memory>
#include <span>

#include "formats/containers/workbook_source.h"
#include "formats/containers/zip_archive.h"
#include "services/workbook.h"

namespace zerova {

// True iff the zip's "mimetype" member is the OpenDocument spreadsheet type.
bool LooksLikeOds(ZipArchive& zip);

// Opens the OpenDocument spreadsheet in `source`, a zip whose "mimetype" member
// is the spreadsheet type (null for any other zip), and lists its tables (hidden
// when their table style says table:display="false"); the active one is the
// table settings.xml names (the first when it names none, or a table that is not
// there). Throws ReadError naming the file when a part is missing or malformed,
// or there is no table.
std::unique_ptr<Workbook> OpenOds(const std::shared_ptr<WorkbookSource>& source);

// True iff `prefix`, a file's first bytes, starts a flat OpenDocument spreadsheet:
// an XML document whose root is office:document with the office:mimetype of a
// spreadsheet.
bool LooksLikeFlatOds(std::span<const std::uint8_t> prefix) noexcept;

// Opens the flat OpenDocument spreadsheet in `source`: as OpenOds, with the
// active table named in its office:settings. Throws ReadError as OpenOds does,
// and when the XML declares a document type.
std::unique_ptr<Workbook> OpenFlatOds(const std::shared_ptr<WorkbookSource>& source);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_ODS_READER_H_
