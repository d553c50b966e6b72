#pragma once
// Form1's design and load handling: its controls in twips, as designed and
// as laid out for the screen, and Timer1's period.
#include <cstdint>

#include "base/screen.h"
#include "base/twips.h"
#include "controls/control_settings.h"

namespace salvanto {

struct Form1Layout {
  TwipRect panYear;
  TwipRect SSPanel1;
  TwipRect Image1;  // relative to SSPanel1's interior
  TwipRect Image2;
};

// True when the screen is exactly width x height pixels at 15 twips per
// pixel; the height is read only when the width matches.
bool IsScreenSize(ScreenMetrics& screen, std::int32_t width, std::int32_t height);

// The design-time positions and sizes, and what the two panels show.
Form1Layout DesignLayout();
inline PanelSettings PanYearSettings() {
  return {.Caption = L"Morvane Software",
          .ForeColor = Rgb(255, 0, 0),
          .BackColor = Rgb(0, 0, 0),
          .Font = {L"MS Sans Serif", 9.75f, 700, 0},
          .BevelWidth = 3,
          .BorderWidth = 4,
          .BevelOuter = Bevel::None,
          .BevelInner = Bevel::None,
          .Align = Alignment::CenterMiddle};
}

inline PanelSettings SSPanel1Settings() {
  return {.Caption = L"SSPanel1",
          .ForeColor = Rgb(0, 0, 255),
          .BackColor = Rgb(0, 0, 0),
          .Font = {L"MS Sans Serif", 8.25f, 400, 0},
          .BevelWidth = 8,
          .BorderWidth = 6,
          .BevelOuter = Bevel::Inset,
          .BevelInner = Bevel::None,
          .Align = Alignment::CenterMiddle};
}

// The load handling's layout: the frame stays at the top on a screen of
// exactly 800 x 600 or 640 x 480 pixels at 15 twips per pixel and moves
// down 1400 twips on every other; the frame, the caption strip and the
// banner are centred, one under the other. Single precision; a result that
// is not finite is a FloatingPoint run-time error.
Form1Layout LoadLayout(ScreenMetrics& screen);

// A control of Form1 in pixels as the load handling leaves it: the size of
// its designed rectangle at the place of its laid-out one. Each edge is
// rounded on its own, so the laid-out rectangle alone could come out a
// pixel wider or narrower than the design.
PixelRect PlacedPixels(const TwipRect& designed, const TwipRect& placed, float twipsPerPixel);

// Every control of a layout so placed.
struct Form1Pixels {
  PixelRect panYear, SSPanel1, Image1, Image2;
};
Form1Pixels PlacedControls(const Form1Layout& laidOut, float twipsPerPixel);

// Timer1's period for an interval: seconds x 1000 in checked 32-bit
// arithmetic. The timer takes 0 (no ticks) up to the largest 32-bit value;
// a negative period is refused (InvalidPropertyValue).
std::int32_t TimerPeriodMs(std::int32_t intervalSeconds);

}  // namespace salvanto
