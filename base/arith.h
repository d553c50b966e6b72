#pragma once
// Counters and products are checked, never wrapped: an overflow is a
// run-time error, as everywhere else in the program.
#include <cstdint>
#include <string>

#include "base/errors.h"

namespace salvanto {

// a + b and a x b in 32 bits, or an Overflow run-time error whose detail is
// what, then that the result does not fit.
inline std::int32_t CheckedAdd(std::int32_t a, std::int32_t b, const std::wstring& what) {
  std::int32_t sum;
  if (__builtin_add_overflow(a, b, &sum)) {
    throw RuntimeError(ErrorKind::Overflow, what + L": the result does not fit in a 32-bit whole number.");
  }
  return sum;
}

inline std::int32_t CheckedMultiply(std::int32_t a, std::int32_t b, const std::wstring& what) {
  std::int32_t product;
  if (__builtin_mul_overflow(a, b, &product)) {
    throw RuntimeError(ErrorKind::Overflow, what + L": the result does not fit in a 32-bit whole number.");
  }
  return product;
}

}  // namespace salvanto
