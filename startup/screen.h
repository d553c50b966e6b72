#pragma once
#include <cstdint>

#include "startup/cursor.h"

namespace salvanto {

// The screen's size in twips (1/1440 inch): pixels times the display's
// twips per pixel, 15 at 96 DPI and 12 at 120 DPI.
class ScreenMetrics {
public:
  virtual ~ScreenMetrics() = default;
  virtual float WidthTwips() = 0;
  virtual float HeightTwips() = 0;
};

// True when the screen is exactly width x height pixels at 15 twips per
// pixel. The products are checked 32-bit arithmetic (RuntimeError Overflow);
// the height is read only when the width matches.
Boolean IsScreenSize(ScreenMetrics& screen, std::int32_t width, std::int32_t height);

// A rectangle in device pixels, edges included on the left and top.
struct PixelRect {
  int left, top, right, bottom;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
};

// Pixels to twips as the platform's screen object reports them.
float PixelsToTwips(int pixels, int dpi);

}  // namespace salvanto
