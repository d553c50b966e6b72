#pragma once
// The 3-D button's input rules. The mouse pushes it while held over it and
// clicks it when let go there; Space pushes it on key-down and clicks it on
// key-up; Enter clicks it at once; neither repeats while held. A click
// shows the button released before its parent hears of it.
#include <cstdint>

#include "controls/push_state.h"

namespace salvanto {

class ButtonInput {
public:
  PushState state;

  bool Pressed() const { return state.Pushed() != 0; }
  InputAnswer MouseDown();
  InputAnswer MouseMove(bool over);
  InputAnswer MouseUp(bool over);
  // flags: the key-down's lParam, which says whether the key repeats.
  InputAnswer KeyDown(unsigned key, std::uint32_t flags);
  InputAnswer KeyUp(unsigned key);
  // The mouse was taken by another window; the focus went elsewhere.
  InputAnswer MouseLost() { return {.redraw = state.LetMouseGo()}; }
  InputAnswer FocusLost() { return {.redraw = state.LetKeyGo()}; }
  // A click without input (BM_CLICK, a screen reader's default action).
  InputAnswer Click();
  // The parent hears a click as the control's notification with this code.
  static constexpr unsigned short kClicked = 0;
  // Enter belongs to the focused button, not to the dialog's default one.
  static bool OwnsKey(unsigned key) { return key == kKeyEnter; }
};

}  // namespace salvanto
