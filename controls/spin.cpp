#include "controls/spin.h"

#include <initializer_list>

namespace salvanto {

PixelRect SpinInput::ArrowRect(const PixelRect& client, int arrow) {
  const int middle = client.right / 2;
  if (arrow == kDown) return {0, 0, middle, client.bottom};
  return {middle, 0, client.right, client.bottom};
}

int SpinInput::ArrowAt(const PixelRect& client, int x, int y) {
  for (int arrow : {kDown, kUp}) {
    if (ArrowRect(client, arrow).Contains(x, y)) return arrow;
  }
  return 0;
}

int SpinInput::ArrowOfKey(unsigned key) {
  if (key == kKeyDown || key == kKeyLeft) return kDown;
  if (key == kKeyUp || key == kKeyRight) return kUp;
  return 0;
}

InputAnswer SpinInput::MouseDown(int arrow) {
  if (!arrow) return {.focus = true};
  return {.focus = true, .capture = true, .redraw = state.HoldMouse(arrow), .raise = arrow, .repeatMs = kFirstRepeatMs};
}

InputAnswer SpinInput::MouseLost() {
  if (!state.MouseHeld()) return {};
  return {.redraw = state.LetMouseGo(), .stopRepeating = true};
}

InputAnswer SpinInput::Timer() {
  const int held = state.MouseHeld();
  if (!held) return {.stopRepeating = true};
  // Held with the pointer elsewhere, it waits without stepping.
  return {.raise = state.Pushed() == held ? held : 0, .repeatMs = kRepeatMs};
}

InputAnswer SpinInput::KeyDown(unsigned key) {
  const int arrow = ArrowOfKey(key);
  if (!arrow) return {};
  return {.redraw = state.HoldKey(arrow), .raise = arrow};
}

InputAnswer SpinInput::KeyUp(unsigned key) {
  if (!ArrowOfKey(key)) return {};
  return {.redraw = state.LetKeyGo()};
}

}  // namespace salvanto
