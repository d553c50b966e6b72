#include "controls/button3d.h"

namespace salvanto {
namespace {
constexpr int kFace = 1;  // the button's one part
}  // namespace

InputAnswer ButtonInput::MouseDown() { return {.focus = true, .capture = true, .redraw = state.HoldMouse(kFace)}; }

InputAnswer ButtonInput::MouseMove(bool over) { return {.redraw = state.MouseOver(over ? kFace : 0)}; }

InputAnswer ButtonInput::MouseUp(bool over) {
  if (!state.MouseHeld()) return {};
  if (!over) return {.release = true, .redraw = state.LetMouseGo()};
  // Let go over the button: a click, which also ends a Space held meanwhile.
  const bool wasPushed = Pressed();
  state.LetKeyGo();
  state.LetMouseGo();
  return {.release = true, .redraw = wasPushed, .raise = kFace};
}

InputAnswer ButtonInput::KeyDown(unsigned key, std::uint32_t flags) {
  // A held Enter would close the box a click may open, then click again.
  if (flags & kKeyWasDown) return {};
  if (key == kKeySpace && !state.MouseHeld()) return {.redraw = state.HoldKey(kFace)};
  if (key == kKeyEnter) return Click();
  return {};
}

InputAnswer ButtonInput::KeyUp(unsigned key) {
  if (key != kKeySpace || !state.KeyHeld()) return {};
  const bool wasPushed = Pressed();
  state.LetKeyGo();
  state.Show(0);
  return {.redraw = wasPushed, .raise = kFace};
}

InputAnswer ButtonInput::Click() { return {.redraw = state.Show(0), .raise = kFace}; }

}  // namespace salvanto
