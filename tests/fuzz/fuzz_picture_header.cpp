// Whatever a file's first bytes hold: the declared size and orientation are
// read without running past the bytes given.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "pictures/picture_header.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A copy of exactly the input's length, so that any over-read is caught.
  std::vector<std::uint8_t> head(data, data + size);
  const auto bytes = std::span<const std::uint8_t>(head.data(), head.size());
  if (auto declared = salvanto::PeekPictureSize(bytes)) (void)salvanto::IsSanePictureSize(*declared);
  if (auto orientation = salvanto::PeekOrientation(bytes)) {
    if (*orientation < 1 || *orientation > 8) __builtin_trap();
  }
  return 0;
}
