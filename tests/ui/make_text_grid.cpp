// make_text_grid: writes a large workbook and the document Zerova makes of it,
// for the tests that drive a long conversion from outside.
//
//   make_text_grid ROWS COLUMNS DIR   writes DIR/input.xls and DIR/expected.xml
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "support/text_grid.h"

namespace {

bool Write(const std::string& path, const void* data, std::size_t size) {
  std::ofstream out(path, std::ios::binary);
  out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
  return out.good();
}

}  // namespace

int main(int argc, char** argv) {
  const int rows = argc == 4 ? std::atoi(argv[1]) : 0;
  const int columns = argc == 4 ? std::atoi(argv[2]) : 0;
  if (rows < 1 || rows > 65536 || columns < 1 || columns > 256) {
    std::fprintf(stderr, "usage: make_text_grid ROWS(1-65536) COLUMNS(1-256) DIR\n");
    return 2;
  }
  const std::string dir = argv[3];
  const zerova::testing::Bytes book = zerova::testing::TextGridWorkbook(rows, columns);
  const std::string document = zerova::testing::TextGridDocument(rows, columns);
  if (!Write(dir + "/input.xls", book.data(), book.size()) ||
      !Write(dir + "/expected.xml", document.data(), document.size())) {
    std::fprintf(stderr, "make_text_grid: %s: could not write the files\n", dir.c_str());
    return 1;
  }
  return 0;
}
