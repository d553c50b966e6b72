#pragma once
// What the 3-D controls draw, as geometry: the solid fills of faces, frames
// and bevels in shades the shell gives colours to, the focus mark's place
// and the spin arrows' triangles.
#include <array>
#include <vector>

#include "base/twips.h"
#include "controls/control_settings.h"

namespace salvanto {

// Face: the control's own colour; Light and Shadow: the 3-D highlight and
// shadow; Outline: the button's dark outline.
enum class Shade { Face, Light, Shadow, Outline };

struct Fill {
  PixelRect rect;
  Shade shade;
  bool operator==(const Fill&) const = default;
};
using Fills = std::vector<Fill>;

// A one-pixel frame just inside rect, top and left in one shade, bottom and
// right in the other, after which rect shrinks past it; nothing on a rect
// under two pixels either way.
void AddFrame(Fills& fills, PixelRect& rect, Shade topLeft, Shade bottomRight);

// A classic bevel of width such frames: raised light above shadow, inset
// the other way round.
void AddBevel(Fills& fills, PixelRect& rect, Bevel bevel, int width);

// A panel: its face, the outer bevel and, border pixels further in, the
// inner one.
Fills PanelFills(const PixelRect& client, Bevel outer, Bevel inner, int bevelWidth, int border);

// The face of a classic push button in rect: the outline, then a raised
// bevel depth pixels deep at rest, or a flat shadow frame when pushed in.
// rect shrinks to the face inside; returns how far the content moves when
// pushed (pushedShift, or 0 at rest).
int AddButtonFace(Fills& fills, PixelRect& rect, bool pushed, int depth, int pushedShift);

// A rect moved by some pixels both ways; one shrunk by some pixels on
// every side.
PixelRect Shifted(const PixelRect& rect, int by);
PixelRect Inset(const PixelRect& rect, int by);

// A solid triangle pointing left or right in a face, the tip first, centred
// and moved by shift; half its base, which is also its depth, is at most
// maxHalf, fits the face's height with a pixel to spare, and is at least 2.
std::array<Point, 3> ArrowTriangle(const PixelRect& face, bool pointsLeft, int shift, int maxHalf);

// The dotted focus mark's dots round rect's edge, every other pixel from
// its top left corner: the mark drawn in a colour of its own (high
// contrast) instead of inverting what lies beneath.
std::vector<Point> FocusDots(const PixelRect& rect);

// How a panel's caption is placed, on one line, as the platform's text
// drawing flags (DT_SINGLELINE with DT_LEFT, DT_CENTER or DT_RIGHT and
// DT_TOP or DT_VCENTER).
unsigned CaptionFormat(Alignment align);

}  // namespace salvanto
