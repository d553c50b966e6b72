#pragma once
// The image's one input rule: the left button's release over the image is
// a click when the last button to go down over it was the left one.
#include <utility>

namespace salvanto {

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
