#include "slideshow/layout.h"

#include <cmath>
#include <string>

#include "startup/errors.h"

namespace salvanto {

namespace {

float Checked(float value, const wchar_t* what) {
  if (!std::isfinite(value)) {
    throw RuntimeError(ErrorKind::FloatingPoint,
                       std::wstring(L"The screen's size gives no usable position for ") + what + L".");
  }
  return value;
}

}  // namespace

Form1Layout DesignLayout() {
  return {
      .panYear = {1800, 8160, 3795, 360},
      .SSPanel1 = {-120, 0, 11895, 7335},
      .Image1 = {120, 120, 11655, 7095},
      .Image2 = {1560, 7800, 8445, 1005},
  };
}

Form1Layout LoadLayout(ScreenMetrics& screen) {
  Form1Layout layout = DesignLayout();
  if (IsScreenSize(screen, 800, 600) != True && IsScreenSize(screen, 640, 480) != True) {
    layout.SSPanel1.Top = Checked(layout.SSPanel1.Top + 1400.0f, L"the photo frame");
  }
  const float W = Checked(screen.WidthTwips(), L"the photo frame");
  layout.SSPanel1.Left = Checked((W - layout.SSPanel1.Width) * 0.5f, L"the photo frame");
  layout.panYear.Left = Checked((W - layout.panYear.Width) / 2.0f, L"the caption strip");
  layout.panYear.Top = Checked(layout.SSPanel1.Top + layout.SSPanel1.Height, L"the caption strip");
  layout.Image2.Left = Checked((W - layout.Image2.Width) / 2.0f, L"the title banner");
  layout.Image2.Top = Checked(layout.panYear.Top + layout.panYear.Height, L"the title banner");
  return layout;
}

float TwipsPerPixel(int dpi) { return 1440.0f / static_cast<float>(dpi > 0 ? dpi : 96); }

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
