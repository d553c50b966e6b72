#include "slideshow/monitors.h"

#include <algorithm>

namespace salvanto {

namespace {

bool Contains(const PixelRect& rect, int x, int y) {
  return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

}  // namespace

std::vector<PixelRect> MonitorsToCover(std::span<const PixelRect> monitors, const PixelRect& form) {
  const int x = form.left + form.width() / 2;
  const int y = form.top + form.height() / 2;
  std::vector<PixelRect> covers;
  for (const PixelRect& monitor : monitors) {
    if (monitor.width() <= 0 || monitor.height() <= 0 || Contains(monitor, x, y)) continue;
    // A mirrored monitor reports the same area twice: one cover is enough.
    if (std::any_of(covers.begin(), covers.end(), [&](const PixelRect& c) { return c == monitor; })) continue;
    covers.push_back(monitor);
  }
  return covers;
}

}  // namespace salvanto
