// Workbooks the benchmarks build in memory: the few parts an .xlsx or an .ods
// needs around the sheet given, zipped with the tests' zip builder.
#ifndef ZEROVA_BENCH_BENCH_BOOKS_H_
#define ZEROVA_BENCH_BENCH_BOOKS_H_

#include <cstdint>
#include <string>
#include <vector>

#include "support/zip_builder.h"

namespace zerova::bench {

using Bytes = std::vector<std::uint8_t>;

inline Bytes TextBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

// An .xlsx of one sheet whose <sheetData> holds `rows`.
inline Bytes Xlsx(const std::string& rows) {
  const std::string rels = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
  const auto relationship = [&](const char* kind, const char* target) {
    return "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
           "relationships\"><Relationship Id=\"rId1\" Type=\"" +
           rels + "/" + kind + "\" Target=\"" + target + "\"/></Relationships>";
  };
  const std::string main = " xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";
  return test::Zip(
      {{"_rels/.rels", relationship("officeDocument", "xl/workbook.xml")},
       {"xl/workbook.xml", "<workbook" + main + " xmlns:r=\"" + rels +
                               "\"><sheets><sheet r:id=\"rId1\"/></sheets></workbook>"},
       {"xl/_rels/workbook.xml.rels", relationship("worksheet", "worksheets/sheet1.xml")},
       {"xl/worksheets/sheet1.xml",
        "<worksheet" + main + "><sheetData>" + rows + "</sheetData></worksheet>"}});
}

// An .ods of one table holding `rows`.
inline Bytes Ods(const std::string& rows) {
  return test::Zip(
      {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
       {"content.xml",
        "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
        " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
        " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body>"
        "<office:spreadsheet><table:table table:name=\"One\">" +
            rows + "</table:table></office:spreadsheet></office:body></office:document-content>"}});
}

}  // namespace zerova::bench

#endif  // ZEROVA_BENCH_BENCH_BOOKS_H_
