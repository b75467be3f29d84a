// Packed values kept four or eight bytes wide: every value reads back bit for
// bit, whatever its neighbours, across the edges of chunks.
#include <gtest/gtest.h>

#include <limits>

#include "formats/sheet/value_chunks.h"

namespace zerova {
namespace {

bool Same(PackedValue a, PackedValue b) { return a.kind == b.kind && a.bits == b.bits; }

PackedValue Number(double number) { return PackedValue::Number(number); }

TEST(ValueChunksTest, EveryValueReadsBackBitForBit) {
  // Values that fit in four bytes, and values that do not, though they look alike.
  const PackedValue samples[] = {
      PackedValue::String(UINT32_MAX - 1),
      Number(-0.0),  // whole, yet not its int's double: eight bytes
      Number(-2147483648.0),
      Number(2147483648.0),  // past 32 bits
      Number(std::numeric_limits<double>::quiet_NaN()),
      {PackedKind::kNumber, 0x7FF8000000000001},  // a NaN with a payload
  };
  // Each sample among narrow values and among wide ones, at a different place of a chunk.
  for (std::size_t s = 0; s < std::size(samples); ++s) {
    for (const PackedValue& neighbour : {PackedValue::String(7), Number(0.25)}) {
      ValueChunks values;
      for (std::size_t i = 0; i < 9000; ++i)
        values.push_back(i % 4099 == s ? samples[s] : neighbour);
      ASSERT_EQ(values.size(), 9000u);
      std::size_t wrong = 0;
      for (std::size_t i = 0; i < 9000; ++i) {
        wrong += !Same(values[i], i % 4099 == s ? samples[s] : neighbour);
      }
      EXPECT_EQ(wrong, 0u) << "sample " << s;
    }
  }
}

}  // namespace
}  // namespace zerova
