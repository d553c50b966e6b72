#pragma once
#include <cstdint>

namespace salvanto {

// The system cursor's display counter: ShowCursor's contract. The cursor is
// drawn while the count is 0 or more.
class CursorCounter {
public:
  virtual ~CursorCounter() = default;
  // Adds one when show is true, takes one otherwise; returns the new count.
  virtual int ShowCursor(bool show) = 0;
};

// Ending the program at once, without any window's close handling.
class ProgramEnd {
public:
  virtual ~ProgramEnd() = default;
  [[noreturn]] virtual void EndNow() = 0;
};

// Raises the display count until it is above 0: from a count c it ends at
// max(c + 1, 1). Hiding is never asked for: false does nothing.
void SetCursorVisible(CursorCounter& counter, bool visible);

// The one way the program ends itself: cursor visible, then gone.
[[noreturn]] void EndScreenSaver(CursorCounter& counter, ProgramEnd& end);

}  // namespace salvanto
