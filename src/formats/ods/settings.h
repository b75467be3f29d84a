// The view settings of an OpenDocument spreadsheet (ODF 1.2), reduced to the one
// setting the conversion needs: which table the view shows. An .ods zip keeps them
// in settings.xml; a flat document in office:settings, ahead of its body.
#ifndef ZEROVA_FORMATS_ODS_SETTINGS_H_
#define ZEROVA_FORMATS_ODS_SETTINGS_H_

#include <string>

#include "formats/containers/zip_archive.h"
#include "formats/xml/xml_stream.h"

namespace zerova {

// The name in the first config:config-item named "ActiveTable" of settings.xml, or
// "" when the zip has no settings.xml or it names none.
// Throws ReadError when settings.xml is malformed.
std::string ReadOdsActiveTable(ZipArchive& zip);

// Reads `xml` up to the first config:config-item named "ActiveTable" and returns
// its text, or up to the start of office:body (or the end) and returns "". The
// stream stays there, so the body can be read on from it.
// Throws ReadError when the XML is malformed.
std::string ReadOdsActiveTable(XmlStream& xml);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_ODS_SETTINGS_H_
