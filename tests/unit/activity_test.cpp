#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "slideshow/activity.h"
#include "slideshow/display_power.h"

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

TEST(ForegroundRule, ALossCountsOnlyWhileFormOneIsOnTheScreenAfterItWasActive) {
  ForegroundRule rule;
  // Another window took the foreground as Form1 first showed.
  EXPECT_EQ(rule.LostToAnotherProgram(true), MoveVerdict::KeepRunning);
  rule.Activated();
  EXPECT_EQ(rule.LostToAnotherProgram(true), MoveVerdict::End);
  // Form1 closed from outside: hidden, it gives the foreground up itself.
  EXPECT_EQ(rule.LostToAnotherProgram(false), MoveVerdict::KeepRunning);
}

TEST(DisplayPower, RestsWhileTheDisplayIsOffOrDimmed) {
  const auto report = [](DisplayPower& power, std::uint32_t state) {
    std::uint8_t data[4];
    std::memcpy(data, &state, sizeof data);
    power.Report(data);
  };
  DisplayPower power;
  EXPECT_FALSE(power.Resting());  // never told: the display counts as on
  report(power, 0);
  EXPECT_TRUE(power.Resting());
  report(power, 1);
  EXPECT_FALSE(power.Resting());
  report(power, 2);
  EXPECT_TRUE(power.Resting());
  // A report it cannot read wakes the show rather than leave it resting.
  report(power, 7);
  EXPECT_FALSE(power.Resting());
  report(power, 0);
  const std::uint8_t shortData[2] = {0, 0};
  power.Report(shortData);
  EXPECT_FALSE(power.Resting());
}

}  // namespace
}  // namespace salvanto
