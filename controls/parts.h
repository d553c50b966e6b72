#pragma once
// Which part of a control lies in a direction on the screen from another,
// as a screen reader moves among the simple parts a control draws itself
// (the spin button's two arrows, side by side or one above the other).
#include <span>

#include "base/twips.h"

namespace salvanto {

enum class Direction { Up, Down, Left, Right };

// parts: the parts' rectangles, part 1 first. The part (1 and up) that lies
// wholly beyond `from`'s edge in that direction and beside it across the
// other way, the nearest first; 0 when none does.
long PartInDirection(std::span<const PixelRect> parts, long from, Direction direction);

}  // namespace salvanto
