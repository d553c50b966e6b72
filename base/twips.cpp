#include "base/twips.h"

#include <cmath>

namespace salvanto {

float TwipsPerPixel(int dpi) { return static_cast<float>(kTwipsPerInch) / static_cast<float>(dpi > 0 ? dpi : 96); }

float PixelsToTwips(int pixels, int dpi) {
  return static_cast<float>(static_cast<double>(pixels) * kTwipsPerInch / static_cast<double>(dpi));
}

int TwipsToPixels(float twips, float twipsPerPixel) {
  // Pixels are whole and the screen is far smaller than an int's range;
  // clamp so that no float-to-int conversion is ever undefined.
  const double pixels = std::floor(static_cast<double>(twips) / static_cast<double>(twipsPerPixel) + 0.5);
  if (!(pixels > -1e9)) return -1000000000;
  if (!(pixels < 1e9)) return 1000000000;
  return static_cast<int>(pixels);
}

PixelRect ToPixels(const TwipRect& rect, float twipsPerPixel) {
  return {TwipsToPixels(rect.Left, twipsPerPixel), TwipsToPixels(rect.Top, twipsPerPixel),
          TwipsToPixels(rect.Left + rect.Width, twipsPerPixel), TwipsToPixels(rect.Top + rect.Height, twipsPerPixel)};
}

}  // namespace salvanto
