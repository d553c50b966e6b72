#pragma once
namespace salvanto {

// The screen's size in twips (1/1440 inch): pixels times the display's
// twips per pixel, 15 at 96 DPI and 12 at 120 DPI.
class ScreenMetrics {
public:
  virtual ~ScreenMetrics() = default;
  virtual float WidthTwips() = 0;
  virtual float HeightTwips() = 0;
};

}  // namespace salvanto
