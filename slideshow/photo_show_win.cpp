#include "slideshow/photo_show_win.h"

#include <algorithm>

#include "pictures/picture_win.h"

namespace salvanto::win {

PhotoShow::PhotoShow(Platform& platform, const SharedState& state, ImageControl& image1, Panel3D& panYear)
    : loader_(image1), caption_(panYear), cycle_(state, listing_, loader_, caption_, platform.text, platform.boxes) {}

void PhotoShow::Image1Loader::Show(const std::wstring& path) {
  // Never "own size" (0 x 0): a photo is always scaled to the frame.
  SIZE frame = image_.ClientSize();
  frame.cx = std::max(frame.cx, LONG{1});
  frame.cy = std::max(frame.cy, LONG{1});
  unique_hbitmap picture = LoadPictureFile(path, frame);
  if (!picture) throw PhotoFailure("not a picture that can be shown");
  image_.SetPicture(std::move(picture));
}

}  // namespace salvanto::win
