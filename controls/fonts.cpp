#include "controls/fonts.h"

#include <cmath>

namespace salvanto {

bool WantsScalableFace(std::wstring_view face, int dpi) {
  return dpi > 96 && (face == L"MS Sans Serif" || face == L"System");
}

long FontHeight(float points, int dpi) { return -std::lround(points * static_cast<float>(dpi) / 72.0f); }

}  // namespace salvanto
