#include "slideshow/layout.h"

#include <cmath>
#include <string>

#include "base/arith.h"
#include "base/errors.h"

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

bool IsScreenSize(ScreenMetrics& screen, std::int32_t width, std::int32_t height) {
  if (screen.WidthTwips() != static_cast<float>(width * 15)) return false;
  return screen.HeightTwips() == static_cast<float>(height * 15);
}

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
  if (!IsScreenSize(screen, 800, 600) && !IsScreenSize(screen, 640, 480)) {
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

PixelRect PlacedPixels(const TwipRect& designed, const TwipRect& placed, float twipsPerPixel) {
  const PixelRect size = ToPixels(designed, twipsPerPixel);
  const PixelRect at = ToPixels(placed, twipsPerPixel);
  return {at.left, at.top, at.left + size.width(), at.top + size.height()};
}

Form1Pixels PlacedControls(const Form1Layout& laidOut, float twipsPerPixel) {
  const Form1Layout design = DesignLayout();
  return {PlacedPixels(design.panYear, laidOut.panYear, twipsPerPixel),
          PlacedPixels(design.SSPanel1, laidOut.SSPanel1, twipsPerPixel),
          PlacedPixels(design.Image1, laidOut.Image1, twipsPerPixel),
          PlacedPixels(design.Image2, laidOut.Image2, twipsPerPixel)};
}

std::int32_t TimerPeriodMs(std::int32_t intervalSeconds) {
  const std::wstring setting = L"The setting Interval holds " + std::to_wstring(intervalSeconds) + L" seconds";
  const std::int32_t period = CheckedMultiply(intervalSeconds, 1000, setting + L", in milliseconds");
  if (period < 0) {
    throw RuntimeError(ErrorKind::InvalidPropertyValue,
                       setting + L": the timer cannot run with a period of " + std::to_wstring(period) + L" ms.");
  }
  return period;
}

}  // namespace salvanto
