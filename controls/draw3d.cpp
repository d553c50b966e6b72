#include "controls/draw3d.h"

#include <algorithm>

namespace salvanto {

void AddFrame(Fills& fills, PixelRect& rect, Shade topLeft, Shade bottomRight) {
  if (rect.width() < 2 || rect.height() < 2) return;
  const auto [left, top, right, bottom] = rect;
  fills.insert(fills.end(), {{{left, top, right - 1, top + 1}, topLeft},
                             {{left, top, left + 1, bottom - 1}, topLeft},
                             {{left, bottom - 1, right, bottom}, bottomRight},
                             {{right - 1, top, right, bottom}, bottomRight}});
  rect = {left + 1, top + 1, right - 1, bottom - 1};
}

void AddBevel(Fills& fills, PixelRect& rect, Bevel bevel, int width) {
  if (bevel == Bevel::None) return;
  const bool raised = bevel == Bevel::Raised;
  for (int i = 0; i < width; ++i) {
    AddFrame(fills, rect, raised ? Shade::Light : Shade::Shadow, raised ? Shade::Shadow : Shade::Light);
  }
}

Fills PanelFills(const PixelRect& client, Bevel outer, Bevel inner, int bevelWidth, int border) {
  Fills fills{{client, Shade::Face}};
  PixelRect inside = client;
  AddBevel(fills, inside, outer, bevelWidth);
  if (inner != Bevel::None) {
    inside = Inset(inside, border);
    AddBevel(fills, inside, inner, bevelWidth);
  }
  return fills;
}

int AddButtonFace(Fills& fills, PixelRect& rect, bool pushed, int depth, int pushedShift) {
  fills.push_back({rect, Shade::Face});
  AddFrame(fills, rect, Shade::Outline, Shade::Outline);
  if (pushed) {
    AddFrame(fills, rect, Shade::Shadow, Shade::Shadow);
    return pushedShift;
  }
  for (int i = 0; i < depth; ++i) AddFrame(fills, rect, Shade::Light, Shade::Shadow);
  return 0;
}

PixelRect Shifted(const PixelRect& rect, int by) {
  return {rect.left + by, rect.top + by, rect.right + by, rect.bottom + by};
}

PixelRect Inset(const PixelRect& rect, int by) {
  return {rect.left + by, rect.top + by, rect.right - by, rect.bottom - by};
}

std::array<Point, 3> ArrowTriangle(const PixelRect& face, bool pointsLeft, int shift, int maxHalf) {
  const int half = std::max(2, std::min(maxHalf, (face.height() - 3) / 2));
  const int cx = (face.left + face.right) / 2 + shift;
  const int cy = (face.top + face.bottom - 1) / 2 + shift;
  if (pointsLeft) {
    const int tip = cx - half / 2 - 1;
    return {Point{tip, cy}, Point{tip + half, cy - half}, Point{tip + half, cy + half}};
  }
  const int tip = cx + half / 2;
  return {Point{tip, cy}, Point{tip - half, cy - half}, Point{tip - half, cy + half}};
}

std::vector<Point> FocusDots(const PixelRect& rect) {
  std::vector<Point> dots;
  for (int x = rect.left; x < rect.right; x += 2) dots.insert(dots.end(), {{x, rect.top}, {x, rect.bottom - 1}});
  for (int y = rect.top; y < rect.bottom; y += 2) dots.insert(dots.end(), {{rect.left, y}, {rect.right - 1, y}});
  return dots;
}

unsigned CaptionFormat(Alignment align) {
  constexpr unsigned kCenter = 0x1, kRight = 0x2, kVCenter = 0x4, kSingleLine = 0x20;
  switch (align) {
    case Alignment::LeftTop:
      return kSingleLine;
    case Alignment::LeftMiddle:
      return kSingleLine | kVCenter;
    case Alignment::CenterMiddle:
      return kSingleLine | kCenter | kVCenter;
    case Alignment::RightMiddle:
      return kSingleLine | kRight | kVCenter;
  }
  return kSingleLine;
}

}  // namespace salvanto
