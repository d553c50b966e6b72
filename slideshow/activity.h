#pragma once
// The move rule: on each surface the first three mouse moves are tolerated
// and the fourth ends the screen saver. The counters never decay or reset.
// Beside it, the loss of the foreground, which ends the show like input.
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

// The platform's contract for screen savers: when another program takes
// the foreground, the show ends as it does on input, for keys typed next
// would go to that program unseen. Activation that moves between the
// program's own windows (a box, a cover) is no such loss; the system tells
// the two apart, and reports only the loss to another program here.
//
// A loss counts only once Form1 has been active: a window that the system
// activates while Form1 first shows, before Form1 was ever activated,
// does not end a show that has not begun. Nor does one while Form1 is no
// longer on the screen: a window that is closed or destroyed (a close from
// outside, a log-off) is hidden first and gives the foreground up itself.
// Form1 takes every system command (WM_SYSCOMMAND) but the start of a
// screen saver, so that no other one starts over this one; the command's
// low four bits are the system's own.
inline constexpr unsigned kStartScreenSaver = 0xF140;
bool TakesSystemCommand(unsigned command);

class ForegroundRule {
public:
  // The system has made Form1 the active window.
  void Activated() { beenActive_ = true; }
  // The program's windows have lost the foreground to another program;
  // formShown: Form1 is still on the screen.
  MoveVerdict LostToAnotherProgram(bool formShown) const {
    return beenActive_ && formShown ? MoveVerdict::End : MoveVerdict::KeepRunning;
  }

private:
  bool beenActive_ = false;
};

}  // namespace salvanto
