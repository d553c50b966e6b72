#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>
#include <utility>

#include "controls/button3d.h"
#include "controls/fonts.h"
#include "controls/image.h"
#include "controls/push_state.h"

namespace salvanto {
namespace {

// One step of input on a button and what it answers: c takes the mouse, l
// lets it go, r draws again, k clicks; + or - says whether it shows
// pressed after.
std::string Step(ButtonInput& button, const std::string& input) {
  const std::uint32_t kFirst = 0x00390001, kRepeat = kFirst | kKeyWasDown;
  InputAnswer a;
  if (input == "down") a = button.MouseDown();
  if (input == "in" || input == "out") a = button.MouseMove(input == "in");
  if (input == "upin" || input == "upout") a = button.MouseUp(input == "upin");
  if (input == "space" || input == "space*") a = button.KeyDown(kKeySpace, input == "space" ? kFirst : kRepeat);
  if (input == "enter" || input == "enter*") a = button.KeyDown(kKeyEnter, input == "enter" ? kFirst : kRepeat);
  if (input == "spaceup") a = button.KeyUp(kKeySpace);
  if (input == "a") a = button.KeyDown('A', kFirst);
  if (input == "left") a = button.KeyDown(kKeyLeft, kFirst);
  if (input == "enterup") a = button.KeyUp(kKeyEnter);
  if (input == "lost") a = button.MouseLost();
  if (input == "blur") a = button.FocusLost();
  if (input == "click") a = button.Click();
  std::string out = input + ":";
  for (auto [set, letter] : {std::pair{a.capture, 'c'}, {a.release, 'l'}, {a.redraw, 'r'}, {a.raise == 1, 'k'}}) {
    if (set) out += letter;
  }
  return out + (button.Pressed() ? "+" : "-");
}

TEST(ButtonInput, TheMouseSpaceAndEnterClickItAndNothingElseDoes) {
  const char* sessions[] = {
      // Held, it shows pushed only with the pointer over it; let go there, it clicks.
      "down:cr+ out:r- in:r+ in:+ upin:lrk- upin:-",
      // Let go elsewhere, or the mouse taken away: no click.
      "down:cr+ out:r- upout:l-",
      "down:cr+ lost:r- upin:-",
      // Space pushes on key-down and clicks on key-up, once; Enter clicks at
      // once; neither repeats while held. No other key does anything.
      "space:r+ space*:+ spaceup:rk- spaceup:-",
      "enter:k- enter*:- a:- left:- enterup:-",
      // The focus gone, a held Space clicks nothing.
      "space:r+ blur:r- spaceup:-",
      // Space while the mouse holds it counts for nothing; the mouse over a
      // button Space holds leaves it to Space.
      "down:cr+ space:+ out:r- upout:l- spaceup:-",
      "space:r+ down:c+ out:+ upout:l+ spaceup:rk-",
      "click:k-",
  };
  for (const char* session : sessions) {
    ButtonInput button;
    std::istringstream steps(session);
    std::string got;
    for (std::string step; steps >> step;)
      got += (got.empty() ? "" : " ") + Step(button, step.substr(0, step.find(':')));
    EXPECT_EQ(got, session);
  }
  EXPECT_TRUE(ButtonInput::OwnsKey(kKeyEnter));
  EXPECT_FALSE(ButtonInput::OwnsKey(kKeySpace));
}

TEST(PushState, TheFocusMarkFollowsTheUiState) {
  // (the UI state at creation, an update's action and flags, whether the mark then shows)
  const unsigned kInitialize = 3, kHideAccelerators = 0x2;
  const std::tuple<unsigned, unsigned, unsigned, bool> rows[] = {
      {0, kUiStateSet, kUiHideFocus, false},
      {kUiHideFocus, kUiStateClear, kUiHideFocus, true},
      {kUiHideFocus, kUiStateClear, kHideAccelerators, false},
      {kUiHideFocus, kInitialize, kUiHideFocus, false},
      {0, kUiStateSet, kHideAccelerators | kUiHideFocus, false},
      {0, kUiStateClear, kUiHideFocus, true},
  };
  for (const auto& [start, action, flags, shows] : rows) {
    PushState state;
    state.StartUiState(start);
    EXPECT_EQ(state.FocusMarkShows(true), !(start & kUiHideFocus));
    state.UpdateUiState(action, flags);
    EXPECT_EQ(state.FocusMarkShows(true), shows) << start << " " << action << " " << flags;
    EXPECT_FALSE(state.FocusMarkShows(false));
  }
}

TEST(ImageClicks, ALeftReleaseIsAClickAfterALeftPressOnly) {
  // Presses (L left, O another button, U the left one's release) and the clicks they make.
  const std::pair<const char*, const char*> rows[] = {{"LU", "c"},  {"U", "-"},   {"LUU", "c-"}, {"OU", "-"},
                                                      {"LOU", "-"}, {"OLU", "c"}, {"LLU", "c"}};
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
  const std::tuple<const wchar_t*, int, bool, float, long> rows[] = {
      {L"MS Sans Serif", 96, false, 8.25f, -11}, {L"System", 96, false, 9.75f, -13},
      {L"MS Sans Serif", 120, true, 12.0f, -20}, {L"System", 144, true, 9.75f, -20},
      {L"Tahoma", 144, false, 8.25f, -17},       {L"MS Sans Serif", 97, true, 12.0f, -16},
  };
  for (const auto& [face, dpi, scalable, points, height] : rows) {
    EXPECT_EQ(WantsScalableFace(face, dpi), scalable) << dpi;
    EXPECT_EQ(FontHeight(points, dpi), height) << dpi;
  }
}

}  // namespace
}  // namespace salvanto
