#pragma once
// The image's one input rule: the left button's release over the image is
// a click when the last button to go down over it was the left one.
#include <utility>

#include "base/twips.h"

namespace salvanto {

// What an image tells its listener (Image1's, Form1): a button down, a
// click, a move of the mouse (at a point on the screen).
class ImageEvents {
public:
  virtual ~ImageEvents() = default;
  virtual void OnImageMouseDown() = 0;
  virtual void OnImageClick() = 0;
  virtual void OnImageMouseMove(Point screenPoint) = 0;
};

class ImageClicks {
public:
  void LeftDown() { leftDown_ = true; }
  void OtherDown() { leftDown_ = false; }
  // The left button came up: true when that is a click.
  bool LeftUp() { return std::exchange(leftDown_, false); }

private:
  bool leftDown_ = false;
};

}  // namespace salvanto
