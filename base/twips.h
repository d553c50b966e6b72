#pragma once
// Twips (1/1440 inch) and device pixels: the design of both windows is in
// twips, the platform draws in pixels, and this is the one place that
// converts between them.
namespace salvanto {

inline constexpr int kTwipsPerInch = 1440;

struct TwipRect {
  float Left, Top, Width, Height;
};

// A rectangle in device pixels, edges included on the left and top.
struct PixelRect {
  int left, top, right, bottom;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  bool operator==(const PixelRect&) const = default;
};

struct Point {
  int x, y;
  bool operator==(const Point&) const = default;
};

// Twips per pixel at a display density: 15 at 96 DPI, 12 at 120 DPI.
float TwipsPerPixel(int dpi);

// Pixels to twips as the platform's screen object reports them.
float PixelsToTwips(int pixels, int dpi);

// Twips to device pixels. Each edge is converted on its own, so controls
// that touch in twips touch in pixels; an edge that falls on half a pixel
// goes to the next pixel to the right or below (floor(x + 0.5)).
int TwipsToPixels(float twips, float twipsPerPixel);
PixelRect ToPixels(const TwipRect& rect, float twipsPerPixel);

}  // namespace salvanto
