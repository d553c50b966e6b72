#include <gtest/gtest.h>

#include "base/errors.h"
#include "base/twips.h"
#include "program/mode.h"
#include "tests/unit/fakes.h"

namespace salvanto {
namespace {

using testing::Ended;
using testing::FakeCursor;
using testing::FakeEnd;

TEST(ChooseMode, OnlyTheFirstTwoCharactersCountAndCaseMatters) {
  for (const wchar_t* settings : {L"/c", L"/c:1234", L"/c 1234", L"/cx"}) {
    EXPECT_EQ(ChooseMode(false, settings), Mode::Settings) << settings;
  }
  for (const wchar_t* slideshow : {L"/C", L"", L"/", L"/s", L"/p 12345", L" /c", L"-c", L"c"}) {
    EXPECT_EQ(ChooseMode(false, slideshow), Mode::Slideshow) << slideshow;
  }
}

TEST(ChooseMode, ASecondCopyEndsWhateverItsCommandLine) {
  for (const wchar_t* any : {L"/c", L"/s", L""}) EXPECT_EQ(ChooseMode(true, any), Mode::Ended);
}

TEST(ArgumentText, DropsTheProgramPathAndTheBlanksAfterIt) {
  EXPECT_EQ(ArgumentText(L"\"C:\\Windows\\Salvanto2002.scr\" /c:1234"), L"/c:1234");
  EXPECT_EQ(ArgumentText(L"C:\\WINDOWS\\SALVAN~1.SCR   /p 12345"), L"/p 12345");
  EXPECT_EQ(ArgumentText(L"\"C:\\Program Files\\S.scr\"/s"), L"/s");
  EXPECT_EQ(ArgumentText(L"S.scr"), L"");
  EXPECT_EQ(ArgumentText(L"\"unclosed path /c"), L"");
  EXPECT_EQ(ArgumentText(L""), L"");
  // Blanks after the first argument character are the argument's own.
  EXPECT_EQ(ArgumentText(L"S.scr \t/c  "), L"/c  ");
}

TEST(SetCursorVisible, EndsAtTheLargerOfCountPlusOneAndOne) {
  struct Case {
    int start, calls, end;
  };
  for (Case c : {Case{-3, 4, 1}, Case{0, 1, 1}, Case{2, 1, 3}, Case{-1, 2, 1}}) {
    FakeCursor cursor(c.start);
    SetCursorVisible(cursor, true);
    EXPECT_EQ(cursor.calls, c.calls) << "from " << c.start;
    EXPECT_EQ(cursor.count, c.end) << "from " << c.start;
  }
}

TEST(SetCursorVisible, ReadsTheCountAsSixteenBitsAndNeverSpinsForever) {
  // A count that wraps to a 16-bit negative keeps the loop going until it is positive.
  FakeCursor cursor(65535 - 1);  // 65535 reads as -1
  SetCursorVisible(cursor, true);
  EXPECT_EQ(cursor.calls, 3);

  struct Stuck : CursorCounter {
    int calls = 0;
    int ShowCursor(bool) override {
      ++calls;
      return -5;
    }
  } stuck;
  SetCursorVisible(stuck, true);
  EXPECT_EQ(stuck.calls, 32769);
}

TEST(EndScreenSaver, RaisesTheCursorThenEnds) {
  FakeCursor cursor(0);
  FakeEnd end;
  EXPECT_THROW(EndScreenSaver(cursor, end), Ended);
  EXPECT_EQ(cursor.count, 1);
  EXPECT_EQ(end.ends, 1);
}

TEST(PixelsToTwips, FollowsTheDisplayDensity) {
  EXPECT_EQ(PixelsToTwips(1024, 96), 15360.0f);
  EXPECT_EQ(PixelsToTwips(1000, 120), 12000.0f);
  EXPECT_EQ(PixelsToTwips(1, 144), 10.0f);
}

}  // namespace
}  // namespace salvanto
