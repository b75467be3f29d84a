// Format detection: a file of no format is refused from its first bytes, before
// it is read whole. Which reader each format's content picks is shown by the
// fixture inputs.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "formats/registry.h"
#include "services/error.h"
#include "support/read_counter.h"

namespace zerova::test {
namespace {

constexpr std::int64_t kMiB = 1 << 20;

TEST(RegistryTest, AFileOfNoFormatIsRefusedFromItsFirstBytes) {
  char pattern[] = "/tmp/zerova-service-XXXXXX";
  const std::string dir = ::mkdtemp(pattern);
  const std::string zeros = dir + "/zeros.xls", xml = dir + "/catalog.csv";
  std::ofstream(zeros).close();
  std::filesystem::resize_file(zeros, 64 * kMiB);  // 64 MiB of zeros, sparse
  std::ofstream(xml)
      << "<?xml version=\"1.0\"?><catalog>a,b\n1,2\n</catalog>";  // XML of no spreadsheet kind,
                                                                  // though its lines look delimited
  // A table that begins one byte past the 16 KiB a format is told by.
  const std::string late = dir + "/late.csv";
  std::ofstream(late) << std::string(16 * 1024 - 1, 'x') << "\na,b\n1,2\n3,4\n5,6\n7,8\n";
  const std::string zip = dir + "/damaged.xlsx";
  std::ofstream(zip) << "PK\x03\x04" << std::string(2 * kMiB, 'z');
  const struct {
    std::string path, message;
    std::int64_t most_read;
  } cases[] = {
      {zeros, zeros + ": not a spreadsheet file", 17 * 1024},  // the first 16 KiB alone
      {late, late + ": not a spreadsheet file", kMiB},
      {xml, xml + ": not a spreadsheet file", kMiB},
      {zip, zip + ": the file is damaged: its table of contents",
       3 * kMiB},  // a zip's directory is at its end
  };
  // The count comes from /proc/self/io; without it this test could not fail.
  ASSERT_GE(BytesReadSoFar(), 0) << "/proc/self/io cannot be read";
  for (const auto& c : cases) {
    const std::int64_t before = BytesReadSoFar();
    std::string message = "opened";
    try {
      NewSpreadsheetService()->Open({c.path, {}, nullptr}, nullptr);
    } catch (const ReadError& e) {
      message = e.what();
    }
    EXPECT_EQ(message.rfind(c.message, 0), 0u) << message;
    EXPECT_LT(BytesReadSoFar() - before, c.most_read) << c.path;
  }
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace zerova::test
