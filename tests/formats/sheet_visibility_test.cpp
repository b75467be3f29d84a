// Hidden and very hidden sheets, as each format that holds several sheets marks
// them: the several-sheets fixture's last two, after the .xlsx's chart sheet.
// OpenDocument knows no very hidden table: its last one is hidden.
#include <gtest/gtest.h>

#include <string>

#include "formats/registry.h"

namespace zerova::test {
namespace {

TEST(SheetVisibilityTest, EveryFormatMarksItsHiddenSheets) {
  for (const std::string format : {"xls", "xlsx", "xlsb", "ods", "xml"}) {
    const std::string file = std::string(ZEROVA_TEST_DATA) + "/several-sheets/input." + format;
    const auto book = NewSpreadsheetService()->Open({file, nullptr}, nullptr);
    std::string listed;  // each sheet's name, and its visibility when it is not visible
    for (const SheetInfo& sheet : book->Sheets()) {
      const char* marks[] = {"", " (hidden)", " (very hidden)"};
      listed += sheet.name + marks[static_cast<int>(sheet.visibility)] + ", ";
    }
    EXPECT_EQ(listed, std::string("Summary, Überblick & Co, 1, Notes, Hidden (hidden), Secret (") +
                          (format == "ods" ? "hidden" : "very hidden") + "), " +
                          (format == "xlsx" ? "Chart, " : ""))
        << format;
  }
}

}  // namespace
}  // namespace zerova::test
