#include "controls/parts.h"

#include <gtest/gtest.h>

#include <vector>

namespace salvanto {
namespace {

TEST(PartInDirection, TheOtherArrowWhereItLiesThatWayAndNoneElsewhere) {
  using enum Direction;
  const std::vector<PixelRect> sideBySide{{0, 0, 32, 17}, {32, 0, 65, 17}}, stacked{{0, 0, 17, 10}, {0, 10, 17, 20}},
      diagonal{{0, 0, 10, 10}, {20, 20, 30, 30}};
  struct Case {
    const std::vector<PixelRect>& parts;
    long from;
    Direction direction;
    long to;
  };
  const Case cases[] = {
      {sideBySide, 1, Right, 2}, {sideBySide, 2, Left, 1}, {sideBySide, 1, Left, 0}, {sideBySide, 2, Right, 0},
      {sideBySide, 1, Down, 0},  {sideBySide, 2, Up, 0},   {stacked, 1, Down, 2},    {stacked, 2, Up, 1},
      {stacked, 1, Right, 0},    {diagonal, 1, Right, 0},  // beyond, but not beside
      {sideBySide, 3, Left, 0},                            // no such part
  };
  for (const Case& c : cases) EXPECT_EQ(PartInDirection(c.parts, c.from, c.direction), c.to) << c.from;
}

}  // namespace
}  // namespace salvanto
