#pragma once
// What each tick of Timer1 does: the next photo into Image1, its caption
// into panYear.
#include "slideshow/image_win.h"
#include "slideshow/panel3d_win.h"
#include "startup/platform.h"

namespace salvanto::win {

class PhotoShow {
public:
  PhotoShow(Platform& platform, const SharedState& state, ImageControl& image1, Panel3D& panYear);
  void Tick();

private:
  Platform& platform_;
  const SharedState& state_;
  ImageControl& image1_;
  Panel3D& panYear_;
};

}  // namespace salvanto::win
