#pragma once
// A cover: a black, topmost window over a monitor that the slideshow window
// does not stand on, with the same pointer as the slideshow window. It
// belongs to Form1 (and goes with it) and hands its input to Form1 as input
// on Form1's own surface. It takes no activation of its own accord; when
// the program loses the foreground to another, whichever of its windows
// held it, the system tells Form1 as well (WM_ACTIVATEAPP goes to every
// top-level window).
#include <windows.h>

#include "base/twips.h"
#include "framework/window.h"
#include "slideshow/monitors.h"

namespace salvanto::win {

class Cover final : public Window<Cover> {
public:
  // Shown without taking the activation or the keyboard from owner.
  static Cover& Create(HWND owner, const PixelRect& monitor, CoverEvents& events);

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
  friend class Window<Cover>;
  explicit Cover(CoverEvents& events) : events_(events) {}

  CoverEvents& events_;
};

}  // namespace salvanto::win
