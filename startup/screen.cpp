#include "startup/screen.h"

#include "startup/arith.h"

namespace salvanto {

Boolean IsScreenSize(ScreenMetrics& screen, std::int32_t width, std::int32_t height) {
  const std::int32_t widthTwips = CheckedMultiply(width, 15);
  const std::int32_t heightTwips = CheckedMultiply(height, 15);
  if (screen.WidthTwips() != static_cast<float>(widthTwips)) return False;
  return screen.HeightTwips() == static_cast<float>(heightTwips) ? True : False;
}

float PixelsToTwips(int pixels, int dpi) {
  return static_cast<float>(static_cast<double>(pixels) * 1440.0 / static_cast<double>(dpi));
}

}  // namespace salvanto
