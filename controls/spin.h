#pragma once
// The spin button's input rules. Its two arrows stand side by side, the
// left one (part 1) stepping down and the right one (part 2) up. An arrow
// the mouse holds steps at once, again after 400 ms and then every 80 ms
// while the pointer stays over it; with the focus, Down and Left step down
// and Up and Right step up, the keyboard's own repeat stepping again.
#include "base/twips.h"
#include "controls/push_state.h"

namespace salvanto {

class SpinInput {
public:
  static constexpr int kDown = 1;
  static constexpr int kUp = 2;
  static constexpr unsigned kFirstRepeatMs = 400;
  static constexpr unsigned kRepeatMs = 80;
  // The parent hears each step as the control's notification with a code.
  static constexpr unsigned short kDownEvent = 0x0101;
  static constexpr unsigned short kUpEvent = 0x0102;

  PushState state;

  // An arrow's rectangle in the client area, and the arrow at a point of it
  // (0: none).
  static PixelRect ArrowRect(const PixelRect& client, int arrow);
  static int ArrowAt(const PixelRect& client, int x, int y);
  // The arrow a key steps (0: none).
  static int ArrowOfKey(unsigned key);

  InputAnswer MouseDown(int arrow);
  InputAnswer MouseMove(int arrow) { return {.redraw = state.MouseOver(arrow)}; }
  // The button let go, or the mouse cancelled: the mouse goes.
  InputAnswer MouseUp() const { return {.release = state.MouseHeld() != 0}; }
  // The mouse went to another window: the repeat ends.
  InputAnswer MouseLost();
  InputAnswer Timer();
  InputAnswer KeyDown(unsigned key);
  InputAnswer KeyUp(unsigned key);
  InputAnswer FocusLost() { return {.redraw = state.LetKeyGo()}; }
};

}  // namespace salvanto
