#include "base/screen.h"

#include "base/arith.h"

namespace salvanto {

bool IsScreenSize(ScreenMetrics& screen, std::int32_t width, std::int32_t height) {
  const std::int32_t widthTwips = CheckedMultiply(width, 15);
  const std::int32_t heightTwips = CheckedMultiply(height, 15);
  if (screen.WidthTwips() != static_cast<float>(widthTwips)) return false;
  return screen.HeightTwips() == static_cast<float>(heightTwips);
}

}  // namespace salvanto
