#include "base/cursor.h"

#include <cstdlib>

namespace salvanto {

void SetCursorVisible(CursorCounter& counter, bool visible) {
  if (!visible) return;
  // The count is a 16-bit number, so 32769 calls raise it from its lowest
  // value to 1. The bound only guards against a counter that never rises.
  constexpr int kMostCalls = 32769;
  for (int calls = 0; calls < kMostCalls; ++calls) {
    auto count = static_cast<std::int16_t>(counter.ShowCursor(true));
    if (count > 0) return;
  }
}

void EndScreenSaver(CursorCounter& counter, ProgramEnd& end) {
  SetCursorVisible(counter, true);
  end.EndNow();
  std::abort();  // EndNow does not come back
}

}  // namespace salvanto
