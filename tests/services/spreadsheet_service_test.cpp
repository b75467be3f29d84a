// Format detection: which reader a file's first bytes pick, whatever its name,
// and a file of no format refused from those bytes, before it is read whole.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

#include "services/error.h"
#include "services/spreadsheet.h"
#include "support/office_book.h"
#include "support/read_counter.h"

namespace zerova::testing {
namespace {

TEST(SpreadsheetServiceTest, TextDocumentsAreToldApartByContent) {
  const std::string ss = "urn:schemas-microsoft-com:office:spreadsheet";
  const std::string cell = "<Row><Cell><Data ss:Type=\"String\">xml</Data></Cell></Row>";
  const std::string xml2003 = "<Workbook xmlns=\"" + ss + "\" xmlns:ss=\"" + ss +
                              "\"><Worksheet><Table>" + cell + "</Table></Worksheet></Workbook>";
  const std::string fods =
      "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
      "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" office:mimetype="
      "\"application/vnd.oasis.opendocument.spreadsheet\"><office:body><office:spreadsheet>"
      "<table:table><table:table-row><table:table-cell office:value-type=\"float\" "
      "office:value=\"2\"/></table:table-row></table:table></office:spreadsheet></office:body>"
      "</office:document>";
  Check({
      {"XML Spreadsheet 2003 after a mark, a declaration and comments",
       TextBytes("\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<!-- a, b -->\n<?mso-application x?>" +
                 xml2003),
       "A1=xml"},
      {"flat OpenDocument", TextBytes(fods), "A1=2"},
      {"XHTML",
       TextBytes("<?xml version=\"1.0\"?><html xmlns=\"http://www.w3.org/1999/xhtml\">"
                 "<body><table><tr><td>1,5</td></tr></table></body></html>"),
       "A1=1,5"},
      {"HTML after a comment", TextBytes("  <!-- x -->\n<Table><tr><td>t</td></tr></Table>"),
       "A1=t"},
      {"delimited text", TextBytes("a,b\n1,2\n"), "A1=a|B1=b|A2=1|B2=2"},
      {"some other XML", TextBytes("<?xml version=\"1.0\"?><catalog>a,b\n1,2\n</catalog>"),
       std::string("refused: ") + kNotOurs},
      {"binary",
       TextBytes(std::string("\x7F"
                             "ELF\x02\x01\x01\0\0\0\0",
                             12)),
       std::string("refused: ") + kNotOurs},
  });
}

constexpr std::int64_t kMiB = 1 << 20;

// The message Open throws for `path`, and the bytes it read meanwhile (-1 where
// they cannot be counted).
std::pair<std::string, std::int64_t> OpenRefusal(const std::string& path) {
  const std::int64_t before = BytesReadSoFar();
  std::string message = "opened";
  try {
    NewSpreadsheetService()->Open(path);
  } catch (const ReadError& e) {
    message = e.what();
  }
  const std::int64_t after = BytesReadSoFar();
  return {message, before < 0 || after < 0 ? -1 : after - before};
}

TEST(SpreadsheetServiceTest, AFileOfNoFormatIsRefusedFromItsFirstBytes) {
  char pattern[] = "/tmp/zerova-service-XXXXXX";
  const std::string dir = ::mkdtemp(pattern);
  const std::string zeros = dir + "/zeros.xls";
  std::ofstream(zeros).close();
  std::filesystem::resize_file(zeros, 64 * kMiB);  // 64 MiB of zeros, sparse
  const std::string binary = dir + "/program.xls";
  std::string bytes(2 * kMiB, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 131 % 251);
  std::ofstream(binary) << bytes;
  const std::string zip = dir + "/damaged.xlsx";
  std::ofstream(zip) << "PK\x03\x04" << std::string(2 * kMiB, 'z');
  const struct {
    std::string path, message;
    std::int64_t most_read;
  } cases[] = {
      {zeros, zeros + ": not a spreadsheet file", kMiB},
      {binary, binary + ": not a spreadsheet file", kMiB},
      {zip, zip + ": damaged zip file", 3 * kMiB},  // a zip's directory is at its end
  };
  for (const auto& c : cases) {
    const auto [message, read] = OpenRefusal(c.path);
    EXPECT_EQ(message.rfind(c.message, 0), 0u) << message;
    EXPECT_LT(read, c.most_read) << c.path;
  }
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace zerova::testing
