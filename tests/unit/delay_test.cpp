#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <optional>
#include <tuple>
#include <utility>
#include <vector>

#include "base/control_ids.h"
#include "base/errors.h"
#include "controls/button3d.h"
#include "controls/spin.h"
#include "settings_dialog/delay.h"
#include "settings_dialog/dialog_focus.h"
#include "tests/unit/fakes.h"

namespace salvanto {
namespace {

using testing::Ended;
using testing::FakeBoxes;
using testing::FakeConventions;
using testing::FakeCursor;
using testing::FakeEnd;
using testing::FakeStore;

// The whole cycle in seconds: each delay with the delay after a down step
// and after an up step. Checking every row both ways also checks that
// sixteen steps either way visit every delay once and come back.
struct CycleRow {
  int seconds, down, up;
};
constexpr CycleRow kCycle[] = {{1, 60, 2},   {2, 1, 3},    {3, 2, 4},    {4, 3, 5},    {5, 4, 10},   {10, 5, 15},
                               {15, 10, 20}, {20, 15, 25}, {25, 20, 30}, {30, 25, 35}, {35, 30, 40}, {40, 35, 45},
                               {45, 40, 50}, {50, 45, 55}, {55, 50, 60}, {60, 55, 1}};

TEST(DelaySteps, EveryDelayStepsToItsNeighboursBothWays) {
  for (const CycleRow& row : kCycle) {
    EXPECT_EQ(StepDown(row.seconds * 1000), row.down * 1000) << row.seconds << " s down";
    EXPECT_EQ(StepUp(row.seconds * 1000), row.up * 1000) << row.seconds << " s up";
  }
}

TEST(DelaySteps, DelaysOffTheCycleMoveByFiveSecondsAndNeverWrap) {
  EXPECT_EQ(StepUp(7000), 12000);
  EXPECT_EQ(StepDown(7000), 2000);
  EXPECT_EQ(StepDown(0), -5000);
  EXPECT_EQ(StepUp(std::numeric_limits<std::int32_t>::max() - 5000), std::numeric_limits<std::int32_t>::max());
  for (auto [step, delay] : {std::pair{&StepUp, std::numeric_limits<std::int32_t>::max() - 4999},
                             std::pair{&StepDown, std::numeric_limits<std::int32_t>::min() + 4999}}) {
    try {
      step(delay);
      ADD_FAILURE() << delay << " stepped without an error";
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.Kind(), ErrorKind::Overflow);
    }
  }
}

TEST(DelayCaption, IsTheDelayTextAndSecondsAlwaysPlural) {
  EXPECT_EQ(StepCaption(55000), L"55 Seconds");
  EXPECT_EQ(StepCaption(StepUp(60000)), L"1 Seconds");
}

std::vector<std::wstring> SplitCrLf(const std::wstring& text) {
  std::vector<std::wstring> lines;
  size_t start = 0;
  for (size_t at; (at = text.find(L"\r\n", start)) != std::wstring::npos; start = at + 2) {
    lines.push_back(text.substr(start, at - start));
  }
  lines.push_back(text.substr(start));
  return lines;
}

TEST(HelpText, NineLinesOfTextTheFirstTwoWithATrailingBlankEachEndedByCrLfAndTwoEmptyLines) {
  const std::wstring text = HelpText();
  const std::vector<std::wstring> lines = SplitCrLf(text);
  ASSERT_EQ(lines.size(), 11u);  // the last one after the final CR LF
  EXPECT_TRUE(lines[0].ends_with(L' ') && lines[1].ends_with(L' ') && !lines[2].ends_with(L' '));
  EXPECT_EQ(lines[3], L"");
  EXPECT_EQ(lines[9], L"");
  EXPECT_EQ(lines[10], L"");
  // No line break other than CR LF.
  EXPECT_EQ(std::count(text.begin(), text.end(), L'\r'), 10);
  EXPECT_EQ(std::count(text.begin(), text.end(), L'\n'), 10);
  EXPECT_TRUE(text.ends_with(L"software.\r\n\r\n"));
}

// The dialog as start-up opens it: DelayMs at 1000, whatever is stored.
struct DialogTest : ::testing::Test {
  FakeCursor cursor{-2};
  FakeEnd end;
  FakeStore store;
  FakeConventions conventions;
  FakeBoxes boxes;
  Platform platform{cursor, end, store, conventions, boxes};
  DelayEditor dialog{platform, 1000};

  std::wstring Stored() { return store.Read(kAppTitle, kSection, kIntervalKey, L"<none>"); }
};

TEST_F(DialogTest, SetWritesTheDelayTextOfTheDelayShown) {
  store.Set(kIntervalKey, L"45");
  dialog.Set();
  EXPECT_EQ(Stored(), L"1");  // opening at one second, whatever was stored

  EXPECT_EQ(dialog.SpinUp(), L"2 Seconds");
  dialog.Set();
  EXPECT_EQ(Stored(), L"2");

  for (int i = 0; i < 4; ++i) dialog.SpinUp();
  dialog.Set();
  EXPECT_EQ(Stored(), L"10");  // neither "10 Seconds" nor 10000

  EXPECT_EQ(dialog.SpinDown(), L"5 Seconds");
  EXPECT_EQ(dialog.SpinDown(), L"4 Seconds");
  dialog.Set();
  EXPECT_EQ(Stored(), L"4");           // the later of two saves
  EXPECT_EQ(store.values.size(), 1u);  // nothing but Interval
}

TEST_F(DialogTest, StepsAloneWriteNothingAndExitSavesNothing) {
  store.Set(kIntervalKey, L"30");
  EXPECT_EQ(dialog.SpinDown(), L"60 Seconds");
  EXPECT_EQ(dialog.SpinDown(), L"55 Seconds");
  EXPECT_EQ(Stored(), L"30");
  EXPECT_THROW(dialog.Exit(), Ended);
  EXPECT_EQ(end.ends, 1);
  EXPECT_EQ(cursor.count, 1);  // the cursor is visible again
  EXPECT_EQ(Stored(), L"30");
}

TEST_F(DialogTest, HelpShowsTheMessageAndChangesNothing) {
  dialog.SpinDown();
  dialog.Help();
  dialog.Help();
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[1].first, HelpText());
  EXPECT_EQ(boxes.shown[1].second, kHelpTitle);
  EXPECT_TRUE(store.values.empty());
  dialog.Set();
  EXPECT_EQ(Stored(), L"60");
}

TEST_F(DialogTest, EachControlsNotificationDoesItsEventAndNothingElseDoesAnything) {
  const unsigned kDown = SpinInput::kDownEvent, kUp = SpinInput::kUpEvent, kClick = ButtonInput::kClicked, kOther = 5;
  const int kIdOk = 1, kIdCancel = 2;
  // (control, code, the caption it returns, then what is stored and how many boxes were shown)
  const std::tuple<int, unsigned, std::optional<std::wstring>, std::wstring, std::size_t> rows[] = {
      {kIdSpinInterval, kDown, L"60 Seconds", L"<none>", 0},
      {kIdSpinInterval, kUp, L"1 Seconds", L"<none>", 0},
      {kIdSpinInterval, kClick, std::nullopt, L"<none>", 0},
      {kIdSSCommand4Set, kOther, std::nullopt, L"<none>", 0},
      {kIdOk, 0, std::nullopt, L"<none>", 0},
      {kIdCancel, 0, std::nullopt, L"<none>", 0},
      {kIdPanInterval, kClick, std::nullopt, L"<none>", 0},
      {kIdSSCommand5Help, kClick, std::nullopt, L"<none>", 1},
      {kIdSSCommand4Set, kClick, std::nullopt, L"1", 1},
      {kIdSSCommand6Exit, kDown, std::nullopt, L"1", 1},
  };
  for (const auto& [control, code, caption, stored, shown] : rows) {
    EXPECT_EQ(dialog.Command(control, code), caption) << control << " " << code;
    EXPECT_EQ(std::pair(Stored(), boxes.shown.size()), std::pair(stored, shown)) << control << " " << code;
  }
  EXPECT_THROW(dialog.Command(kIdSSCommand6Exit, kClick), Ended);
}

TEST_F(DialogTest, ARefusedWriteReachesTheCallerAndKeepsTheEarlierValue) {
  dialog.Set();
  store.refuseWrites = true;
  dialog.SpinUp();
  EXPECT_ANY_THROW(dialog.Set());
  EXPECT_EQ(Stored(), L"1");
  store.refuseWrites = false;
  dialog.Set();
  EXPECT_EQ(Stored(), L"2");
}

TEST(DialogFocus, KeepsTheDialogsOwnFocusMovesOnlyToATabStopAndCentresOnTheScreen) {
  int set = 1, kept = 2;
  EXPECT_EQ(FocusToKeep(&set, true, &kept), &set);
  EXPECT_EQ(FocusToKeep(&set, false, &kept), &kept);  // another window's
  EXPECT_EQ(FocusToKeep<int*>(nullptr, true, &kept), &kept);
  EXPECT_TRUE(TakesTabFocus(true, true, true, true));
  for (int lacking = 0; lacking < 4; ++lacking) {
    EXPECT_FALSE(TakesTabFocus(lacking != 0, lacking != 1, lacking != 2, lacking != 3)) << lacking;
  }
  EXPECT_EQ(CentredEdge(1024, 423), 300);
  EXPECT_EQ(CentredEdge(640, 700), 0);  // the title bar stays on the screen
}

}  // namespace
}  // namespace salvanto
