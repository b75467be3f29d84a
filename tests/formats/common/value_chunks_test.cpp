// Packed values kept four or eight bytes wide: every value reads back bit for
// bit, whatever its neighbours, across the edges of chunks.
#include "formats/common/value_chunks.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <vector>

namespace zerova {
namespace {

bool Same(PackedValue a, PackedValue b) { return a.kind == b.kind && a.bits == b.bits; }

PackedValue Number(double number) { return PackedValue::Number(number); }

// Values that fit in four bytes, and values that do not, though they look alike.
const std::vector<PackedValue>& Samples() {
  static const std::vector<PackedValue> samples = {
      PackedValue::String(0),
      PackedValue::String(UINT32_MAX - 1),
      PackedValue::Boolean(true),
      PackedValue::Error(CellError::kNA),
      PackedValue(),
      Number(0),
      Number(-0.0),  // whole, yet not its int's double: eight bytes
      Number(42),
      Number(-2147483648.0),
      Number(2147483647.0),
      Number(2147483648.0),  // past 32 bits
      Number(0.5),
      Number(std::numeric_limits<double>::quiet_NaN()),
      Number(std::numeric_limits<double>::infinity()),
      PackedValue::Date(45000, DateSystem::k1900),
      PackedValue::Date(45000.25, DateSystem::k1904),
      {PackedKind::kNumber, 0x7FF8000000000001},  // a NaN with a payload
  };
  return samples;
}

TEST(ValueChunksTest, EveryValueReadsBackBitForBit) {
  const std::vector<PackedValue>& samples = Samples();
  // Each sample, alone, among narrow values and among wide ones, at every place of a chunk.
  for (std::size_t s = 0; s < samples.size(); ++s) {
    for (const PackedValue& neighbour : {PackedValue::String(7), Number(0.25)}) {
      ValueChunks values;
      std::vector<PackedValue> expected;
      for (std::size_t i = 0; i < 9000; ++i) {
        const PackedValue value = i % 4099 == s ? samples[s] : neighbour;
        values.push_back(value);
        expected.push_back(value);
      }
      ASSERT_EQ(values.size(), expected.size());
      std::size_t wrong = 0;
      for (std::size_t i = 0; i < expected.size(); ++i) wrong += !Same(values[i], expected[i]);
      EXPECT_EQ(wrong, 0u) << "sample " << s;
    }
  }
}

TEST(ValueChunksTest, ValuesSetInPlaceWidenTheirChunkOnlyWhenTheyMust) {
  ValueChunks values;
  for (std::uint32_t i = 0; i < 5000; ++i) values.push_back(PackedValue::String(i));
  values.Set(10, Number(1.5));                  // widens the first chunk
  values.Set(4500, Number(3));                  // the second stays narrow
  values.SetLast(PackedValue::Boolean(false));  // the second chunk's kinds now differ
  EXPECT_TRUE(Same(values[9], PackedValue::String(9)));
  EXPECT_TRUE(Same(values[10], Number(1.5)));
  EXPECT_TRUE(Same(values[4095], PackedValue::String(4095)));
  EXPECT_TRUE(Same(values[4500], Number(3)));
  EXPECT_TRUE(Same(values[4999], PackedValue::Boolean(false)));
  EXPECT_TRUE(Same(values[4998], PackedValue::String(4998)));
}

}  // namespace
}  // namespace zerova
