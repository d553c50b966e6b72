#include "slideshow/activity.h"

namespace salvanto {

MoveVerdict ApplyMoveRule(std::int16_t& counter) {
  if (counter <= 2) {
    ++counter;
    return MoveVerdict::KeepRunning;
  }
  return MoveVerdict::End;
}

bool TakesSystemCommand(unsigned command) { return (command & 0xFFF0u) != kStartScreenSaver; }

bool PointerTracker::Moved(int x, int y) {
  if (x == x_ && y == y_) return false;
  x_ = x;
  y_ = y;
  return true;
}

}  // namespace salvanto
