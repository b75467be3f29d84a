// Workbook streams read where they stand in the compound file, or copied whole
// when their sectors lie apart.
#include "formats/common/ole2_container.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/biff_builder.h"

namespace zerova::testing {
namespace {

// A workbook stream well past the small-block size, so it lies in sectors of the file.
BiffBuilder LargeBook() {
  BiffBuilder b(Biff::k8);
  b.Bof(Biff::k8).Xf(0).Boundsheet("Sheet1").Eof().Bof(Biff::k8, kWorksheetBof);
  for (int row = 0; row < 1000; ++row) b.Number(row, 0, row + 0.5);
  b.Eof();
  return b;
}

bool Within(std::span<const std::uint8_t> part, const Bytes& whole) {
  return part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size();
}

TEST(Ole2ContainerTest, AStreamInOrderIsReadWhereItStandsOneInPiecesIsCopiedWhole) {
  const BiffBuilder book = LargeBook();
  for (const bool in_pieces : {false, true}) {
    const Bytes file = in_pieces ? book.BuildInterleaved() : book.Build();
    WorkbookStream stream = ReadWorkbookStream(file, "book.xls");
    EXPECT_EQ(stream.is_copy(), in_pieces);
    EXPECT_EQ(Within(stream.bytes(), file), !in_pieces);
    EXPECT_EQ(Bytes(stream.bytes().begin(), stream.bytes().end()), book.BuildBare());
    if (in_pieces) {
      EXPECT_EQ(stream.Writable().data(), stream.bytes().data());  // already its own
    }
  }
}

TEST(Ole2ContainerTest, AViewMadeWritableIsCopiedOnce) {
  const Bytes file = LargeBook().Build();
  WorkbookStream stream = ReadWorkbookStream(file, "book.xls");
  const std::span<std::uint8_t> writable = stream.Writable();
  writable[0] ^= 0xFF;
  EXPECT_TRUE(stream.is_copy());
  EXPECT_FALSE(Within(stream.bytes(), file));
  EXPECT_EQ(stream.Writable().data(), writable.data());
  EXPECT_EQ(ReadWorkbookStream(file, "book.xls").bytes()[0], writable[0] ^ 0xFF);
}

}  // namespace
}  // namespace zerova::testing
