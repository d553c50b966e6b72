#include "controls/fonts.h"

#include <cmath>

namespace salvanto {

bool WantsScalableFace(std::wstring_view face, int dpi) {
  return dpi > 96 && (face == L"MS Sans Serif" || face == L"System");
}

bool IsScalableSansSerif(unsigned pitchAndFamily) {
  constexpr unsigned kTrueType = 0x04, kFamily = 0xF0, kSwiss = 0x20;
  return (pitchAndFamily & kTrueType) != 0 && (pitchAndFamily & kFamily) == kSwiss;
}

long FontHeight(float points, int dpi) { return -std::lround(points * static_cast<float>(dpi) / 72.0f); }

}  // namespace salvanto
