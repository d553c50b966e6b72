#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

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

TEST(SystemCommands, EveryOneButTheStartOfAScreenSaverIsTaken) {
  const unsigned kClose = 0xF060, kKeyMenu = 0xF100, kMonitorPower = 0xF170;
  for (auto [command, taken] : {std::pair{kStartScreenSaver, false},
                                {kStartScreenSaver | 0x2, false},
                                {kClose, true},
                                {kKeyMenu, true},
                                {kMonitorPower, true},
                                {kStartScreenSaver + 0x10, true}}) {
    EXPECT_EQ(TakesSystemCommand(command), taken) << std::hex << command;
  }
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

TEST(DisplayPower, RestsOnlyWhileTheDisplayIsOff) {
  DisplayPower power;
  EXPECT_FALSE(power.Resting());  // never told: the display counts as on
  // Each report in turn, and whether the show rests after it.
  struct Step {
    std::vector<std::uint8_t> data;
    bool resting;
  };
  const std::uint32_t off = 0, on = 1, dimmed = 2, unknown = 7;
  const auto state = [](std::uint32_t value) {
    std::vector<std::uint8_t> data(sizeof value);
    std::memcpy(data.data(), &value, sizeof value);
    return data;
  };
  const Step steps[] = {
      {state(off), true},
      {state(on), false},
      {state(off), true},
      // A dimmed screen is still being looked at.
      {state(dimmed), false},
      {state(off), true},
      // A report it cannot read wakes the show rather than leave it resting.
      {state(unknown), false},
      {state(off), true},
      {{0, 0}, false},
      {state(off), true},
      {{0, 0, 0, 0, 0}, false},
  };
  for (const Step& step : steps) {
    power.Report(step.data);
    EXPECT_EQ(power.Resting(), step.resting) << &step - steps;
  }
}

}  // namespace
}  // namespace salvanto
