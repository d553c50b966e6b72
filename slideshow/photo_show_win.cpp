#include "slideshow/photo_show_win.h"

namespace salvanto::win {

PhotoShow::PhotoShow(Platform& platform, const SharedState& state, ImageControl& image1, Panel3D& panYear)
    : platform_(platform), state_(state), image1_(image1), panYear_(panYear) {}

void PhotoShow::Tick() {}

}  // namespace salvanto::win
