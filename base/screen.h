#pragma once
#include <cstdint>

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
bool IsScreenSize(ScreenMetrics& screen, std::int32_t width, std::int32_t height);

}  // namespace salvanto
