// formats/ods/: the OpenDocument spreadsheet format. The zip and streaming XML
// come from formats/common; here are the namespaces, the view settings, the body,
// one cell, and these entries.
//
// The .ods reader: the active table of an OpenDocument spreadsheet (ODF 1.2),
// held in a zip (.ods) or written as one XML document (flat, .fods).
//
// The view settings name the active table; the body is streamed and only that
// table is kept, in a SheetStore.
#ifndef ZEROVA_FORMATS_ODS_READER_H_
#define ZEROVA_FORMATS_ODS_READER_H_

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "formats/common/zip_archive.h"
#include "services/spreadsheet.h"

namespace zerova {

// True iff the zip's "mimetype" member is the OpenDocument spreadsheet type.
bool LooksLikeOds(ZipArchive& zip);

// Reads the active table of the spreadsheet in `zip` (the first table when
// settings.xml names none, or names a table that is not there). Throws ReadError
// naming the zip's file when a part is missing or malformed, or there is no table.
std::unique_ptr<Worksheet> ReadOds(ZipArchive& zip);

// True iff `prefix`, a file's first bytes, starts a flat OpenDocument spreadsheet:
// an XML document whose root is office:document with the office:mimetype of a
// spreadsheet.
bool LooksLikeFlatOds(std::span<const std::uint8_t> prefix);

// Reads the active table of the flat OpenDocument spreadsheet in `bytes`, named
// `file` in messages: the table its office:settings name, else the first. Throws
// ReadError as ReadOds does, and when the XML declares a document type.
std::unique_ptr<Worksheet> ReadFlatOds(std::span<const std::uint8_t> bytes,
                                       const std::string& file);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_ODS_READER_H_
