// make_text_grid: writes a large workbook and the document Zerova makes of it,
// for the tests that drive a long conversion from outside.
//
//   make_text_grid ROWS COLUMNS DIR   writes DIR/input.xls and DIR/expected.xml
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "support/text_grid.h"

int main(int argc, char** argv) {
  const int rows = argc == 4 ? std::atoi(argv[1]) : 0;
  const int columns = argc == 4 ? std::atoi(argv[2]) : 0;
  if (rows < 1 || rows > 65536 || columns < 1 || columns > 256) {
    std::fprintf(stderr, "usage: make_text_grid ROWS(1-65536) COLUMNS(1-256) DIR\n");
    return 2;
  }
  const std::string dir = argv[3];
  const zerova::test::Bytes book = zerova::test::TextGridWorkbook(rows, columns);
  std::ofstream(dir + "/input.xls", std::ios::binary)
      .write(reinterpret_cast<const char*>(book.data()), static_cast<std::streamsize>(book.size()));
  std::ofstream document(dir + "/expected.xml", std::ios::binary);
  if (!(document << zerova::test::TextGridDocument(rows, columns))) {
    std::fprintf(stderr, "make_text_grid: %s: could not write the files\n", dir.c_str());
    return 1;
  }
  return 0;
}
