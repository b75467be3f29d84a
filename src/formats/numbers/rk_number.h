// RK numbers: the 32-bit packed numbers of BIFF's RK cells ([MS-XLS] 2.5.217) and
// .xlsb's BrtCellRk ([MS-XLSB] 2.5.122), laid out the same way in both.
#ifndef ZEROVA_FORMATS_NUMBERS_RK_NUMBER_H_
#define ZEROVA_FORMATS_NUMBERS_RK_NUMBER_H_

#include <cstdint>
#include <cstring>

namespace zerova {

// The number `rk` stands for: bit 1 set, a 30-bit signed integer in bits 2-31;
// clear, the high 30 bits of a double. Bit 0 set divides the value by 100.
inline double RkNumber(std::uint32_t rk) {
  double value;
  if ((rk & 0x02) != 0) {
    value = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
  } else {
    const std::uint64_t bits = static_cast<std::uint64_t>(rk & 0xFFFFFFFCu) << 32;
    std::memcpy(&value, &bits, sizeof value);
  }
  return (rk & 0x01) != 0 ? value / 100 : value;
}

}  // namespace zerova

#endif  // ZEROVA_FORMATS_NUMBERS_RK_NUMBER_H_
