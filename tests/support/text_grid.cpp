#include "support/text_grid.h"

namespace zerova::test {
namespace {

std::string CellText(int row, int column) {
  return "r" + std::to_string(row) + "c" + std::to_string(column);
}

}  // namespace

Bytes TextGridWorkbook(int rows, int columns) {
  BiffBuilder book;
  book.Bof(Biff::k8).Xf(0).Boundsheet("Grid").Eof();
  book.Bof(Biff::k8, kWorksheetBof);
  for (int c = 1; c <= columns; ++c) book.Label(0, c - 1, "Column " + std::to_string(c));
  for (int r = 2; r <= rows; ++r) {
    for (int c = 1; c <= columns; ++c) book.Label(r - 1, c - 1, CellText(r, c));
  }
  book.Eof();
  return book.Build();
}

std::string TextGridDocument(int rows, int columns) {
  std::string document = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Main>\r\n";
  for (int c = 1; c <= columns; ++c) {
    const std::string n = std::to_string(c);
    document += "<node id=\"n" + n + "\" lbl=\"Column " + n + "\">\r\n";
    for (int r = 2; r <= rows; ++r) document += "<value>" + CellText(r, c) + "</value>\r\n";
    document += "</node>\r\n";
  }
  return document + "</Main>\r\n";
}

}  // namespace zerova::test
