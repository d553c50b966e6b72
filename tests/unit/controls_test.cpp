#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "controls/button3d.h"
#include "controls/fonts.h"
#include "controls/image.h"
#include "controls/push_state.h"

namespace salvanto {
namespace {

enum class Do { MouseDown, MoveIn, MoveOut, UpIn, UpOut, KeyDown, KeyRepeat, KeyUp, MouseLost, FocusLost, Click };

constexpr InputAnswer kNothing{};
constexpr InputAnswer kRedraw{.redraw = true};
constexpr InputAnswer kGrab{.capture = true, .redraw = true};
constexpr InputAnswer kLetGo{.release = true};
constexpr InputAnswer kClick{.raise = 1};
constexpr InputAnswer kClickNow{.redraw = true, .raise = 1};

// One session of input on one button: each step, what the button answers
// and whether it shows pressed after it.
struct Step {
  Do what;
  unsigned key;
  InputAnswer answer;
  bool pressed;
};

InputAnswer Feed(ButtonInput& button, const Step& step) {
  switch (step.what) {
    case Do::MouseDown:
      return button.MouseDown();
    case Do::MoveIn:
    case Do::MoveOut:
      return button.MouseMove(step.what == Do::MoveIn);
    case Do::UpIn:
    case Do::UpOut:
      return button.MouseUp(step.what == Do::UpIn);
    case Do::KeyDown:
      return button.KeyDown(step.key, 0x00390001);
    case Do::KeyRepeat:
      return button.KeyDown(step.key, 0x40390001);
    case Do::KeyUp:
      return button.KeyUp(step.key);
    case Do::MouseLost:
      return button.MouseLost();
    case Do::FocusLost:
      return button.FocusLost();
    case Do::Click:
      return button.Click();
  }
  return {};
}

TEST(ButtonInput, TheMouseSpaceAndEnterClickItAndNothingElseDoes) {
  const unsigned kA = 'A', kTab = 0x09, kEscape = 0x1B;
  const std::vector<std::vector<Step>> sessions{
      // Held over it, it shows pushed only with the pointer over it; let go
      // there, it clicks.
      {{Do::MouseDown, 0, kGrab, true},
       {Do::MoveOut, 0, kRedraw, false},
       {Do::MoveIn, 0, kRedraw, true},
       {Do::MoveIn, 0, kNothing, true},
       {Do::UpIn, 0, {.release = true, .redraw = true, .raise = 1}, false},
       {Do::UpIn, 0, kNothing, false}},
      // Let go elsewhere, or the mouse taken away: no click.
      {{Do::MouseDown, 0, kGrab, true}, {Do::MoveOut, 0, kRedraw, false}, {Do::UpOut, 0, kLetGo, false}},
      {{Do::MouseDown, 0, kGrab, true}, {Do::MouseLost, 0, kRedraw, false}, {Do::UpIn, 0, kNothing, false}},
      // Space pushes on key-down and clicks on key-up, once.
      {{Do::KeyDown, kKeySpace, kRedraw, true},
       {Do::KeyRepeat, kKeySpace, kNothing, true},
       {Do::KeyUp, kKeySpace, kClickNow, false},
       {Do::KeyUp, kKeySpace, kNothing, false}},
      // Enter clicks at once; held, it does not click again.
      {{Do::KeyDown, kKeyEnter, kClick, false}, {Do::KeyRepeat, kKeyEnter, kNothing, false}},
      // No other key does anything, held or not.
      {{Do::KeyDown, kA, kNothing, false},
       {Do::KeyDown, kKeyLeft, kNothing, false},
       {Do::KeyDown, kTab, kNothing, false},
       {Do::KeyDown, kEscape, kNothing, false},
       {Do::KeyRepeat, kA, kNothing, false},
       {Do::KeyUp, kA, kNothing, false},
       {Do::KeyUp, kKeyEnter, kNothing, false}},
      // The focus gone, a held Space clicks nothing.
      {{Do::KeyDown, kKeySpace, kRedraw, true},
       {Do::FocusLost, 0, kRedraw, false},
       {Do::KeyUp, kKeySpace, kNothing, false}},
      // Space while the mouse holds it counts for nothing.
      {{Do::MouseDown, 0, kGrab, true},
       {Do::KeyDown, kKeySpace, kNothing, true},
       {Do::MoveOut, 0, kRedraw, false},
       {Do::UpOut, 0, kLetGo, false},
       {Do::KeyUp, kKeySpace, kNothing, false}},
      // The mouse over a button Space holds: let go outside, Space still holds it.
      {{Do::KeyDown, kKeySpace, kRedraw, true},
       {Do::MouseDown, 0, {.capture = true}, true},
       {Do::MoveOut, 0, kNothing, true},
       {Do::UpOut, 0, kLetGo, true},
       {Do::KeyUp, kKeySpace, kClickNow, false}},
      // A click without input.
      {{Do::Click, 0, kClick, false}},
  };
  for (std::size_t s = 0; s < sessions.size(); ++s) {
    ButtonInput button;
    for (std::size_t i = 0; i < sessions[s].size(); ++i) {
      const Step& step = sessions[s][i];
      EXPECT_EQ(Feed(button, step), step.answer) << "session " << s << " step " << i;
      EXPECT_EQ(button.Pressed(), step.pressed) << "session " << s << " step " << i;
    }
  }
  EXPECT_TRUE(ButtonInput::OwnsKey(kKeyEnter));
  EXPECT_FALSE(ButtonInput::OwnsKey(kKeySpace));
}

TEST(PushState, TheFocusMarkFollowsTheUiState) {
  // (the state at creation, an update's action and flags, whether the mark then shows on a focused control)
  struct Row {
    unsigned start, action, flags;
    bool shows;
  };
  const unsigned kInitialize = 3, kHideAccelerators = 0x2;
  const Row rows[] = {
      {0, kUiStateSet, kUiHideFocus, false},
      {kUiHideFocus, kUiStateClear, kUiHideFocus, true},
      {kUiHideFocus, kUiStateClear, kHideAccelerators, false},  // another cue
      {kUiHideFocus, kInitialize, kUiHideFocus, false},         // not an update
      {0, kUiStateSet, kHideAccelerators | kUiHideFocus, false},
      {0, kUiStateClear, kUiHideFocus, true},
  };
  for (const Row& row : rows) {
    PushState state;
    state.StartUiState(row.start);
    EXPECT_EQ(state.FocusMarkShows(true), !(row.start & kUiHideFocus));
    state.UpdateUiState(row.action, row.flags);
    EXPECT_EQ(state.FocusMarkShows(true), row.shows) << &row - rows;
    EXPECT_FALSE(state.FocusMarkShows(false));
  }
}

TEST(ImageClicks, ALeftReleaseIsAClickAfterALeftPressOnly) {
  // Presses ('L' left, 'O' another button, 'U' the left one's release) and
  // the clicks they make.
  const std::pair<const char*, const char*> rows[] = {
      {"LU", "c"}, {"U", "-"}, {"LUU", "c-"}, {"OU", "-"}, {"LOU", "-"}, {"OLU", "c"}, {"LLU", "c"},
  };
  for (const auto& [presses, clicks] : rows) {
    ImageClicks image;
    std::string heard;
    for (const char* p = presses; *p; ++p) {
      if (*p == 'L') image.LeftDown();
      if (*p == 'O') image.OtherDown();
      if (*p == 'U') heard += image.LeftUp() ? 'c' : '-';
    }
    EXPECT_EQ(heard, clicks) << presses;
  }
}

TEST(Fonts, RasterFacesGiveWayAbove96DpiAndPointsBecomePixels) {
  // (face, dpi, whether a scalable face stands in, points, height)
  struct Row {
    const wchar_t* face;
    int dpi;
    bool scalable;
    float points;
    long height;
  };
  const Row rows[] = {
      {L"MS Sans Serif", 96, false, 8.25f, -11}, {L"System", 96, false, 9.75f, -13},
      {L"MS Sans Serif", 120, true, 12.0f, -20}, {L"System", 144, true, 9.75f, -20},
      {L"Tahoma", 144, false, 8.25f, -17},       {L"MS Sans Serif", 97, true, 12.0f, -16},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(WantsScalableFace(row.face, row.dpi), row.scalable) << &row - rows;
    EXPECT_EQ(FontHeight(row.points, row.dpi), row.height) << &row - rows;
  }
}

}  // namespace
}  // namespace salvanto
