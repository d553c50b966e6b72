#include "slideshow/monitors.h"

#include <gtest/gtest.h>

#include <vector>

namespace salvanto {
namespace {

std::vector<std::vector<int>> Edges(const std::vector<PixelRect>& rects) {
  std::vector<std::vector<int>> out;
  for (const PixelRect& r : rects) out.push_back({r.left, r.top, r.right, r.bottom});
  return out;
}

TEST(MonitorsToCover, EveryMonitorButTheSlideshowsOwn) {
  const PixelRect primary{0, 0, 1024, 768};
  // Side by side, left of the primary, above it, and of another height.
  const std::vector<PixelRect> desk{primary, {1024, 0, 1824, 600}, {-1280, 0, 0, 1024}, {0, -900, 1600, 0}};
  EXPECT_EQ(Edges(MonitorsToCover(desk, primary)),
            (std::vector<std::vector<int>>{{1024, 0, 1824, 600}, {-1280, 0, 0, 1024}, {0, -900, 1600, 0}}));
  // One monitor: nothing to cover, so nothing changes there.
  EXPECT_TRUE(MonitorsToCover(std::vector<PixelRect>{primary}, primary).empty());
}

TEST(MonitorsToCover, MirroredAndEmptyMonitorsGetNoCoverOfTheirOwn) {
  const PixelRect primary{0, 0, 800, 600};
  const std::vector<PixelRect> desk{primary, primary, {800, 0, 1600, 600}, {800, 0, 1600, 600}, {1600, 0, 1600, 0}};
  EXPECT_EQ(Edges(MonitorsToCover(desk, primary)), (std::vector<std::vector<int>>{{800, 0, 1600, 600}}));
}

TEST(MonitorsToCover, TheWindowsMonitorIsTheOneThatHoldsItsCentre) {
  // A window a little larger than its monitor still stands on it alone.
  const std::vector<PixelRect> desk{{0, 0, 1024, 768}, {1024, 0, 2048, 768}};
  EXPECT_EQ(Edges(MonitorsToCover(desk, {1020, 0, 2052, 768})), (std::vector<std::vector<int>>{{0, 0, 1024, 768}}));
}

}  // namespace
}  // namespace salvanto
