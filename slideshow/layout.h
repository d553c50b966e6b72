#pragma once
// Form1's controls in twips, as designed and as the load handling lays them
// out for the screen.
#include "base/screen.h"
#include "base/twips.h"

namespace salvanto {

struct Form1Layout {
  TwipRect panYear;
  TwipRect SSPanel1;
  TwipRect Image1;  // relative to SSPanel1's interior
  TwipRect Image2;
};

// The design-time positions and sizes.
Form1Layout DesignLayout();

// The load handling's layout: the frame stays at the top on a screen of
// exactly 800 x 600 or 640 x 480 pixels at 15 twips per pixel and moves
// down 1400 twips on every other; the frame, the caption strip and the
// banner are centred, one under the other. Single precision; a result that
// is not finite is a FloatingPoint run-time error.
Form1Layout LoadLayout(ScreenMetrics& screen);

}  // namespace salvanto
