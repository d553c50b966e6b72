#pragma once
// The move rule: on each surface the first three mouse moves are tolerated
// and the fourth ends the screen saver. The counters never decay or reset.
#include <cstdint>

namespace salvanto {

enum class MoveVerdict { KeepRunning, End };

// Adds one to a counter below 3; a counter already at 3 means the end.
MoveVerdict ApplyMoveRule(std::int16_t& counter);

// The platform also reports a "move" when a window appears or disappears
// under a cursor that stands still. Only a change of position is the user.
class PointerTracker {
public:
  PointerTracker(int x, int y) : x_(x), y_(y) {}
  // True when (x, y) differs from the last position seen; remembers it.
  bool Moved(int x, int y);

private:
  int x_, y_;
};

}  // namespace salvanto
