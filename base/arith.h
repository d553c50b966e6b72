#pragma once
// Counters and products are checked, never wrapped: an overflow is a
// run-time error, as everywhere else in the program.
#include <cstdint>
#include <string>

#include "base/errors.h"

namespace salvanto {

inline std::int32_t CheckedMultiply(std::int32_t a, std::int32_t b) {
  std::int32_t product;
  if (__builtin_mul_overflow(a, b, &product)) {
    throw RuntimeError(ErrorKind::Overflow, std::to_wstring(a) + L" \u00D7 " + std::to_wstring(b) +
                                                L" does not fit in a 32-bit whole number.");
  }
  return product;
}

}  // namespace salvanto
