#include "slideshow/display_power.h"

#include <cstring>

namespace salvanto {

void DisplayPower::Report(std::span<const std::uint8_t> data) {
  std::uint32_t state = 1;
  if (data.size() == sizeof state) std::memcpy(&state, data.data(), sizeof state);
  resting_ = state == 0;
}

}  // namespace salvanto
