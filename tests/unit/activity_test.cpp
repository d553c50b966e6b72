#include <gtest/gtest.h>

#include <cstdint>

#include "slideshow/activity.h"

namespace salvanto {
namespace {

TEST(MoveRule, ThreeMovesAreToleratedAndTheFourthEnds) {
  std::int16_t counter = 0;
  for (int move = 1; move <= 3; ++move) {
    EXPECT_EQ(ApplyMoveRule(counter), MoveVerdict::KeepRunning);
    EXPECT_EQ(counter, move);
  }
  EXPECT_EQ(ApplyMoveRule(counter), MoveVerdict::End);
  EXPECT_EQ(counter, 3);
}

TEST(MoveRule, TheTwoSurfacesCountApart) {
  std::int16_t form = 0, image = 0;
  for (int i = 0; i < 3; ++i) ApplyMoveRule(form);
  EXPECT_EQ(ApplyMoveRule(image), MoveVerdict::KeepRunning);
  EXPECT_EQ(image, 1);
  EXPECT_EQ(ApplyMoveRule(form), MoveVerdict::End);
}

TEST(PointerTracker, AMoveWithoutAChangeOfPositionIsNotTheUser) {
  PointerTracker pointer(400, 300);
  EXPECT_FALSE(pointer.Moved(400, 300));  // the window appeared under a still cursor
  EXPECT_TRUE(pointer.Moved(401, 300));
  EXPECT_FALSE(pointer.Moved(401, 300));
  EXPECT_TRUE(pointer.Moved(400, 300));
}

}  // namespace
}  // namespace salvanto
