#include "slideshow/monitors.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

namespace salvanto {

void PrintTo(const PixelRect& r, std::ostream* out) {
  *out << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace {

using Rects = std::vector<PixelRect>;

TEST(MonitorsToCover, EveryMonitorButTheSlideshowsOwn) {
  const PixelRect primary{0, 0, 1024, 768};
  // Side by side, left of the primary, above it, and of another height.
  const Rects desk{primary, {1024, 0, 1824, 600}, {-1280, 0, 0, 1024}, {0, -900, 1600, 0}};
  EXPECT_EQ(MonitorsToCover(desk, primary), (Rects{{1024, 0, 1824, 600}, {-1280, 0, 0, 1024}, {0, -900, 1600, 0}}));
  // One monitor: nothing to cover, so nothing changes there.
  EXPECT_TRUE(MonitorsToCover(Rects{primary}, primary).empty());
}

TEST(MonitorsToCover, MirroredAndEmptyMonitorsGetNoCoverOfTheirOwn) {
  const PixelRect primary{0, 0, 800, 600};
  const Rects desk{primary,           primary, {800, 0, 1600, 600}, {800, 0, 1600, 600}, {1600, 0, 1600, 600},
                   {0, 600, 800, 600}};
  EXPECT_EQ(MonitorsToCover(desk, primary), (Rects{{800, 0, 1600, 600}}));
}

TEST(MonitorsToCover, TheWindowsMonitorIsTheOneThatHoldsItsCentre) {
  // A window a little larger than its monitor still stands on it alone.
  const Rects desk{{0, 0, 1024, 768}, {1024, 0, 2048, 768}};
  EXPECT_EQ(MonitorsToCover(desk, {1020, 0, 2052, 768}), (Rects{{0, 0, 1024, 768}}));
  // A centre on the edge between two belongs to the one right of it or below.
  const Rects stacked{{0, 0, 1024, 768}, {0, 768, 1024, 1536}};
  EXPECT_EQ(MonitorsToCover(stacked, {0, 0, 1024, 1536}), (Rects{{0, 0, 1024, 768}}));
  EXPECT_EQ(MonitorsToCover(desk, {0, 0, 2048, 768}), (Rects{{0, 0, 1024, 768}}));
}

}  // namespace
}  // namespace salvanto
