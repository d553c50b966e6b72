#include "controls/parts.h"

namespace salvanto {

long PartInDirection(std::span<const PixelRect> parts, long from, Direction direction) {
  if (from < 1 || static_cast<std::size_t>(from) > parts.size()) return 0;
  const PixelRect& start = parts[static_cast<std::size_t>(from - 1)];
  long found = 0;
  int nearest = 0;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const PixelRect& part = parts[i];
    const bool across = direction == Direction::Left || direction == Direction::Right;
    // Beside it: the two overlap across the direction of travel.
    const bool beside = across ? part.top < start.bottom && start.top < part.bottom
                               : part.left < start.right && start.left < part.right;
    int gap = -1;  // how far beyond start's edge the part begins
    switch (direction) {
      case Direction::Left:
        gap = start.left - part.right;
        break;
      case Direction::Right:
        gap = part.left - start.right;
        break;
      case Direction::Up:
        gap = start.top - part.bottom;
        break;
      case Direction::Down:
        gap = part.top - start.bottom;
        break;
    }
    if (static_cast<long>(i) + 1 == from || !beside || gap < 0 || (found && gap >= nearest)) continue;
    found = static_cast<long>(i) + 1;
    nearest = gap;
  }
  return found;
}

}  // namespace salvanto
