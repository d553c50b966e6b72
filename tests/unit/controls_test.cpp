#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>

#include "controls/button3d.h"
#include "controls/draw3d.h"
#include "controls/fonts.h"
#include "controls/image.h"
#include "controls/push_state.h"
#include "controls/spin.h"

namespace salvanto {
namespace {

// What a control answers, as letters: f takes the focus, c the mouse, l
// lets it go, r draws again, the part raised, t and the repeat's period,
// s stops it; then the part shown pushed after.
std::string Answer(const InputAnswer& a, int pushed) {
  std::string out;
  for (auto [set, letter] : {std::pair{a.focus, 'f'}, {a.capture, 'c'}, {a.release, 'l'}, {a.redraw, 'r'}}) {
    if (set) out += letter;
  }
  if (a.raise) out += std::to_string(a.raise);
  if (a.repeatMs) out += "t" + std::to_string(a.repeatMs);
  if (a.stopRepeating) out += 's';
  return out + "=" + std::to_string(pushed);
}

// Runs a session of "input:answer" steps through step(input) and gives it
// back with the answers the control gave.
template <typename F>
std::string Replay(const char* session, F&& step) {
  std::istringstream steps(session);
  std::string got;
  for (std::string each; steps >> each;) {
    const std::string input = each.substr(0, each.find(':'));
    got += (got.empty() ? "" : " ") + input + ":" + step(input);
  }
  return got;
}

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
  return Answer(a, button.state.Pushed());
}

TEST(ButtonInput, TheMouseSpaceAndEnterClickItAndNothingElseDoes) {
  const char* sessions[] = {
      // Held, it shows pushed only with the pointer over it; let go there, it clicks.
      "down:fcr=1 out:r=0 in:r=1 in:=1 upin:lr1=0 upin:=0",
      // Let go elsewhere, or the mouse taken away: no click.
      "down:fcr=1 out:r=0 upout:l=0",
      "down:fcr=1 lost:r=0 upin:=0",
      // Space pushes on key-down and clicks on key-up, once; Enter clicks at
      // once; neither repeats while held. No other key does anything.
      "space:r=1 space*:=1 spaceup:r1=0 spaceup:=0",
      "enter:1=0 enter*:=0 a:=0 left:=0 enterup:=0",
      // The focus gone, a held Space clicks nothing.
      "space:r=1 blur:r=0 spaceup:=0",
      // Space while the mouse holds it counts for nothing; the mouse over a
      // button Space holds leaves it to Space.
      "down:fcr=1 space:=1 out:r=0 upout:l=0 spaceup:=0",
      "space:r=1 down:fc=1 out:=1 upout:l=1 spaceup:r1=0",
      "click:1=0",
  };
  for (const char* session : sessions) {
    ButtonInput button;
    EXPECT_EQ(Replay(session, [&](const std::string& input) { return Step(button, input); }), session);
  }
  EXPECT_TRUE(ButtonInput::OwnsKey(kKeyEnter));
  EXPECT_FALSE(ButtonInput::OwnsKey(kKeySpace));
}

TEST(SpinInput, ArrowsStepByMouseRepeatWhileHeldOverAndStepByArrowKeys) {
  const PixelRect client{0, 0, 65, 17};
  const std::tuple<int, int, int> points[] = {{0, 0, 1}, {31, 16, 1}, {32, 0, 2}, {64, 16, 2}, {65, 8, 0}, {10, 17, 0}};
  for (const auto& [x, y, arrow] : points) EXPECT_EQ(SpinInput::ArrowAt(client, x, y), arrow) << x << "," << y;
  // Mouse: pressN on arrow N (0: neither), overN, release, lost (to
  // another window), timer. Keys: v < ^ > and a, ' after one its release.
  const char* sessions[] = {
      // Held: a step at once, again after 400 ms, then every 80 ms while
      // the pointer stays over the arrow; let go, the repeat ends.
      "press1:fcr1t400=1 timer:1t80=1 over0:r=0 timer:t80=0 over2:=0 over1:r=1 timer:1t80=1 release:l=1 lost:rs=0 "
      "timer:s=0",
      "press2:fcr2t400=2 lost:rs=0 release:=0",
      "press0:f=0 over1:=0 timer:s=0",
      // Keys step at each key-down, the system's repeat included.
      "v:r1=1 v:1=1 v':r=0 <:r1=1 <':r=0 ^:r2=2 >:2=2 blur:r=0 a:=0 a':=0",
      // A key while the mouse holds the other arrow steps without showing.
      "press1:fcr1t400=1 >:2=1 over0:r=2 >':=2 lost:rs=0",
  };
  const std::map<char, unsigned> keys{{'v', kKeyDown}, {'<', kKeyLeft}, {'^', kKeyUp}, {'>', kKeyRight}, {'a', 'A'}};
  for (const char* session : sessions) {
    SpinInput spin;
    const auto step = [&](const std::string& input) {
      InputAnswer a;
      if (input.starts_with("press")) a = spin.MouseDown(input[5] - '0');
      if (input.starts_with("over")) a = spin.MouseMove(input[4] - '0');
      if (input == "release") a = spin.MouseUp();
      if (input == "lost") a = spin.MouseLost();
      if (input == "timer") a = spin.Timer();
      if (input == "blur") a = spin.FocusLost();
      if (keys.contains(input[0]) && input.size() == 1) a = spin.KeyDown(keys.at(input[0]));
      if (keys.contains(input[0]) && input.size() == 2) a = spin.KeyUp(keys.at(input[0]));
      return Answer(a, spin.state.Pushed());
    };
    EXPECT_EQ(Replay(session, step), session);
  }
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
  for (const std::string row : {"LU:c", "U:-", "LUU:c-", "OU:-", "LOU:-", "OLU:c", "LLU:c"}) {
    ImageClicks image;
    std::string heard = row.substr(0, row.find(':') + 1);
    for (char press : row.substr(0, row.find(':'))) {
      if (press == 'L') image.LeftDown();
      if (press == 'O') image.OtherDown();
      if (press == 'U') heard += image.LeftUp() ? 'c' : '-';
    }
    EXPECT_EQ(heard, row);
  }
}

// Fills as their shades' letters (Face, Light, Shadow, Outline), a frame's
// four sides between bars.
std::string Shades(const Fills& fills) {
  std::string out;
  for (const Fill& fill : fills) out += "FLSO"[static_cast<int>(fill.shade)];
  return out;
}

TEST(Draw3D, FramesBevelsAndFacesFillEveryPixelOfTheirEdgesInTheirShades) {
  Fills frame;
  PixelRect rect{0, 0, 4, 3};
  AddFrame(frame, rect, Shade::Light, Shade::Shadow);
  EXPECT_EQ(frame, (Fills{{{0, 0, 3, 1}, Shade::Light},
                          {{0, 0, 1, 2}, Shade::Light},
                          {{0, 2, 4, 3}, Shade::Shadow},
                          {{3, 0, 4, 3}, Shade::Shadow}}));
  EXPECT_EQ(rect, (PixelRect{1, 1, 3, 2}));
  AddFrame(frame, rect, Shade::Light, Shade::Shadow);  // one pixel high: no frame
  EXPECT_EQ(frame.size(), 4u);

  const Fills panel = PanelFills({0, 0, 12, 12}, Bevel::Raised, Bevel::Inset, 1, 3);
  EXPECT_EQ(Shades(panel), "FLLSSSSLL");
  EXPECT_EQ(panel[5].rect, (PixelRect{4, 4, 7, 5}));  // the inner bevel, border pixels in
  EXPECT_EQ(Shades(PanelFills({0, 0, 12, 12}, Bevel::Inset, Bevel::None, 2, 3)), "FSSLLSSLL");

  // (pushed, depth, shades, the face inside, the content's shift)
  const std::tuple<bool, int, std::string, PixelRect, int> faces[] = {
      {false, 2, "FOOOOLLSSLLSS", {3, 3, 17, 9}, 0},
      {true, 2, "FOOOOSSSS", {2, 2, 18, 10}, 1},
  };
  for (const auto& [pushed, depth, shades, inside, shift] : faces) {
    Fills fills;
    PixelRect face{0, 0, 20, 12};
    EXPECT_EQ(AddButtonFace(fills, face, pushed, depth, 1), shift);
    EXPECT_EQ(Shades(fills), shades);
    EXPECT_EQ(face, inside);
  }
}

TEST(Draw3D, ArrowsPointTheWayTheyStepFromTheFacesCentreAndFollowThePush) {
  using Corners = std::array<Point, 3>;
  // (face, points left, shift, at most half the base, corners: the tip first)
  const std::tuple<PixelRect, bool, int, int, Corners> rows[] = {
      {{3, 3, 30, 14}, true, 0, 4, {{{13, 8}, {17, 4}, {17, 12}}}},
      {{3, 3, 30, 14}, false, 0, 4, {{{18, 8}, {14, 4}, {14, 12}}}},
      {{3, 3, 30, 14}, false, 1, 4, {{{19, 9}, {15, 5}, {15, 13}}}},
      {{3, 3, 30, 14}, true, 0, 8, {{{13, 8}, {17, 4}, {17, 12}}}},  // the face's height bounds it
      {{0, 0, 10, 5}, true, 0, 4, {{{3, 2}, {5, 0}, {5, 4}}}},       // and 2 at least
  };
  for (const auto& [face, left, shift, maxHalf, corners] : rows) {
    EXPECT_EQ(ArrowTriangle(face, left, shift, maxHalf), corners) << left << shift << maxHalf;
  }
  // The focus mark in a colour of its own: every other pixel round the edge.
  EXPECT_EQ(FocusDots({1, 0, 5, 3}),
            (std::vector<Point>{{1, 0}, {1, 2}, {3, 0}, {3, 2}, {1, 0}, {4, 0}, {1, 2}, {4, 2}}));
}

TEST(Fonts, RasterFacesGiveWayAbove96DpiAndPointsBecomePixels) {
  // (face, dpi, whether a scalable face stands in, points, height)
  const std::tuple<const wchar_t*, int, bool, float, long> rows[] = {
      {L"MS Sans Serif", 96, false, 8.25f, -11}, {L"System", 96, false, 9.75f, -13},
      {L"MS Sans Serif", 120, true, 12.0f, -20}, {L"System", 144, true, 9.75f, -20},
      {L"Tahoma", 144, false, 8.25f, -17},       {L"MS Sans Serif", 97, true, 12.0f, -16}};
  for (const auto& [face, dpi, scalable, points, height] : rows) {
    EXPECT_EQ(std::pair(WantsScalableFace(face, dpi), FontHeight(points, dpi)), std::pair(scalable, height)) << dpi;
  }
  // What the font mapper handed out may stand in: TrueType swiss, not a serif or a raster face.
  for (const auto& [pitchAndFamily, standsIn] :
       {std::pair{0x26u, true}, std::pair{0x16u, false}, std::pair{0x22u, false}}) {
    EXPECT_EQ(IsScalableSansSerif(pitchAndFamily), standsIn) << pitchAndFamily;
  }
}

}  // namespace
}  // namespace salvanto
