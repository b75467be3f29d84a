// The settings part of an .ods workbook (ODF 1.2, settings.xml), reduced to the
// one setting the conversion needs: which table the view shows.
#ifndef ZEROVA_FORMATS_ODS_SETTINGS_H_
#define ZEROVA_FORMATS_ODS_SETTINGS_H_

#include <string>

#include "formats/common/zip_archive.h"

namespace zerova {

// The name in the first config:config-item named "ActiveTable" of the view
// settings, or "" when the zip has no settings.xml or it names none.
// Throws ReadError when settings.xml is malformed.
std::string ReadOdsActiveTable(ZipArchive& zip);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_ODS_SETTINGS_H_
