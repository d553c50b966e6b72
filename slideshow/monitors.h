#pragma once
// Which monitors the slideshow covers besides its own window's: on a desk
// with several, every other one goes black too, so that nothing of the
// desktop shows while the show runs.
#include <span>
#include <vector>

#include "base/twips.h"

namespace salvanto {

// Not every system tells its windows when a monitor comes or goes (Wine
// does not): Form1 compares the monitors with those it was laid out for
// this often too.
inline constexpr unsigned kMonitorCheckMs = 1000;

// Every monitor's area (in the desktop's pixels) and density, in the
// platform's order.
struct Monitors {
  std::vector<PixelRect> areas;
  std::vector<int> dpis;
  bool operator==(const Monitors&) const = default;
};

// What a cover hands Form1: its input, as input on Form1's own surface.
class CoverEvents {
public:
  virtual ~CoverEvents() = default;
  virtual void OnCoverKeyOrButton() = 0;
  virtual void OnCoverMouseMove(Point screenPoint) = 0;
};

// The monitors (in the desktop's pixels) that do not hold the centre of the
// slideshow window form, each once; empty monitors are left out.
std::vector<PixelRect> MonitorsToCover(std::span<const PixelRect> monitors, const PixelRect& form);

}  // namespace salvanto
