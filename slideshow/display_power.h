#pragma once
// The power of the session's own display, as the platform reports it while
// the show runs: while nobody can see the screen (the display off), the
// show rests and does no file work. A dimmed screen is still looked at:
// the show goes on. Where the platform never reports it, the display
// counts as on and the show never rests.
#include <cstddef>
#include <cstdint>
#include <span>

namespace salvanto {

class DisplayPower {
public:
  // One report's data: the state as a 32-bit number in the platform's byte
  // order, 0 off, 1 on, 2 dimmed. Anything else (another length, another
  // number) is taken as on: the show never rests on a report it cannot read.
  void Report(std::span<const std::uint8_t> data);
  // True while the display is off.
  bool Resting() const { return resting_; }

private:
  bool resting_ = false;
};

}  // namespace salvanto
