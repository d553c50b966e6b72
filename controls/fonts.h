#pragma once
// The controls' fonts: what the design asks for, and what that becomes at
// a display density.
#include <string_view>

namespace salvanto {

struct FontSpec {
  const wchar_t* face;
  float points;
  int weight;       // 400 regular, 700 bold
  int charset = 0;  // ANSI
};

// "MS Sans Serif" and "System" exist as bitmaps at a few sizes only: asked
// for another size they come out at the nearest one they have, and bold
// may be lost. Above 96 DPI such a face gives way to a scalable one of the
// same kind, so that text keeps the size in points the design asks for.
bool WantsScalableFace(std::wstring_view face, int dpi);

// Whether a font the system made (its text metrics' pitch and family byte)
// can stand in for those faces: scalable (TrueType) and sans-serif (swiss).
// A font mapper that has no such face hands out another kind.
bool IsScalableSansSerif(unsigned pitchAndFamily);

// The height that gives the font its size in points at a density: the
// characters' height in pixels, negative, as the platform's fonts take it.
long FontHeight(float points, int dpi);

}  // namespace salvanto
