#include <gtest/gtest.h>

#include <cwchar>
#include <optional>
#include <vector>

#include "base/errors.h"
#include "base/filled_text.h"
#include "base/platform.h"
#include "base/settings.h"
#include "tests/unit/fakes.h"

namespace salvanto {
namespace {

using testing::FakeConventions;
using testing::FakeStore;

ErrorKind ErrorOf(std::wstring_view text, wchar_t sep = L'.') {
  try {
    TextToWholeNumber(text, sep);
  } catch (const RuntimeError& e) {
    return e.Kind();
  }
  ADD_FAILURE() << "no error";
  return ErrorKind::FloatingPoint;
}

TEST(TextToWholeNumber, AcceptsNumbersWithBlanksAroundAndRoundsHalfToEven) {
  struct Case {
    const wchar_t* text;
    std::int32_t value;
  };
  for (Case c : {Case{L"10", 10}, Case{L" 10 ", 10}, Case{L"\t7 ", 7}, Case{L"2.5", 2}, Case{L"3.5", 4},
                 Case{L"-2.5", -2}, Case{L"2.51", 3}, Case{L"0", 0}, Case{L"-1", -1}, Case{L"+4", 4}, Case{L".5", 0},
                 Case{L"1.5", 2}, Case{L"7.", 7}, Case{L"1e3", 1000}, Case{L"25E-1", 2}, Case{L"0010", 10},
                 Case{L"2147483647", 2147483647}, Case{L"-2147483648", -2147483647 - 1}}) {
    EXPECT_EQ(TextToWholeNumber(c.text, L'.'), c.value) << c.text;
  }
}

TEST(TextToWholeNumber, UsesTheUsersDecimalSeparator) {
  EXPECT_EQ(TextToWholeNumber(L"2,5", L','), 2);
  EXPECT_EQ(TextToWholeNumber(L"7,6", L','), 8);
  EXPECT_EQ(ErrorOf(L"2.5", L','), ErrorKind::TypeMismatch);
  EXPECT_EQ(ErrorOf(L"7,5", L'.'), ErrorKind::TypeMismatch);
}

TEST(TextToWholeNumber, TextThatIsNotANumberIsATypeMismatch) {
  for (const wchar_t* text : {L"", L" ", L"abc", L"1 0", L"10s", L"&H10", L"--1", L".", L"-", L"1e", L"e3", L"1e+",
                              L"0x10", L"\u0661", L"inf", L"nan", L"1\u00A0"}) {
    EXPECT_EQ(ErrorOf(text), ErrorKind::TypeMismatch) << text;
  }
}

TEST(TextToWholeNumber, OutOfThirtyTwoBitRangeIsAnOverflow) {
  for (const wchar_t* text :
       {L"99999999999", L"2147483648", L"-2147483649", L"2147483647.5", L"1e400", L"-1e400", L"1e10"}) {
    EXPECT_EQ(ErrorOf(text), ErrorKind::Overflow) << text;
  }
  EXPECT_EQ(TextToWholeNumber(L"2147483646.5", L'.'), 2147483646);
  EXPECT_EQ(TextToWholeNumber(L"1e-400", L'.'), 0);
}

TEST(Settings, DefaultsStandInForMissingValues) {
  FakeStore store;
  FakeConventions conventions;
  EXPECT_EQ(ReadIntervalSeconds(store, conventions), 2);
  EXPECT_EQ(ReadIntervalSeconds(store, conventions), 2);
  EXPECT_EQ(ReadPhotoDir(store, conventions), L" ");
}

TEST(Settings, ReadsAndConvertsStoredValues) {
  FakeStore store;
  FakeConventions conventions;
  store.Set(kIntervalKey, L" 10 ");
  store.Set(kPhotoDirKey, L"d:\\photos\\");
  EXPECT_EQ(ReadIntervalSeconds(store, conventions), 10);
  EXPECT_EQ(ReadPhotoDir(store, conventions), L"D:\\PHOTOS\\");
  // Only the key under this application's title and section counts.
  store.values[{L"Other", std::wstring(kSection), std::wstring(kIntervalKey)}] = L"99";
  EXPECT_EQ(ReadIntervalSeconds(store, conventions), 10);
  // Where the platform keeps them, and which window a box belongs to.
  EXPECT_EQ(SettingsKeyPath(kAppTitle, kSection),
            L"Software\\VB and VBA Program Settings\\SCRNSAVE: The Salvanto Anthology 2002\\Settings");
  const int dialog = 1, active = 2, none = 0;
  EXPECT_EQ(BoxOwner(dialog, true, active), dialog);
  EXPECT_EQ(BoxOwner(dialog, false, active), active);
  EXPECT_EQ(BoxOwner(none, true, active), active);
}

TEST(Settings, ABadIntervalNamesTheSettingItsTextAndTheReason) {
  FakeStore store;
  FakeConventions conventions;
  store.Set(kIntervalKey, L"abc");
  try {
    ReadIntervalSeconds(store, conventions);
    FAIL();
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.Kind(), ErrorKind::TypeMismatch);
    EXPECT_NE(e.Report().find(L"Interval"), std::wstring::npos);
    EXPECT_NE(e.Report().find(L"\"\u2068abc\u2069\""), std::wstring::npos);
    EXPECT_NE(e.Report().find(L"Type mismatch"), std::wstring::npos);
  }
  store.Set(kIntervalKey, L"99999999999");
  try {
    ReadIntervalSeconds(store, conventions);
    FAIL();
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.Kind(), ErrorKind::Overflow);
    EXPECT_NE(e.Report().find(L"Overflow"), std::wstring::npos);
  }
  // However long the stored text, the box quotes a readable part of it: a
  // line of 5,000 nines would push the number and the name off the screen.
  store.Set(kIntervalKey, std::wstring(5000, L'9'));
  try {
    ReadIntervalSeconds(store, conventions);
    FAIL();
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.Kind(), ErrorKind::Overflow);
    EXPECT_NE(e.Report().find(L"Interval holds \"\u2068" + std::wstring(40, L'9') + L"\u2026\u2069\","),
              std::wstring::npos)
        << std::string(e.what()).substr(0, 200);
    EXPECT_LT(e.Report().size(), 200u);
  }
  // Any other failure: what it says, byte for byte.
  EXPECT_EQ(FatalReport("bad\xE9"), L"The screen saver has to stop: bad\u00E9");
}

TEST(QuotedExcerpt, CutsLongTextsAndShowsWhatWouldChangeTheReadingAsQuestionMarks) {
  const std::wstring x39(39, L'x'), pair = L"\xD83D\xDE97";
  struct Case {
    std::wstring text, shown;
  };
  const Case cases[] = {
      {L"", L""},
      {x39 + L"x", x39 + L"x"},
      {x39 + L"xy", x39 + L"x\u2026"},
      // Line breaks would stack the box's lines past the screen's bottom.
      {L"1\r\n2\t", L"1??2?"},
      {L"a\x7F\x85\x9F"
       L" b\xA0",
       L"a??? b\xA0"},
      {L"1\u2028\u2029", L"1??"},
      // A mark that turns the direction would reverse the rest of the line.
      {L"5\u202E01\u202A\u202B\u202C\u202D", L"5?01????"},
      {L"\u2066\u2067\u2068\u2069\u200E\u200F\u061C", L"???????"},
      // Each other kind that does not show itself: a zero-width space and
      // joiner, the word joiner, a deprecated format control, the byte-order
      // mark, an annotation mark, a tag (U+E0041), private use, unassigned.
      {L"a\u200B\u200D\u2060\u206A\uFEFF\uFFF9\xDB40\xDC41\uE000\u0378\uFFFFz", L"a??????????z"},
      // Right-to-left letters stay inside the quotes' isolate.
      {L"\u05E9\u05DC\u05D5\u05DD 5", L"\u05E9\u05DC\u05D5\u05DD 5"},
      // A character of two UTF-16 units is kept whole or left out whole...
      {L"a" + pair, L"a" + pair},
      {x39 + pair + L"y", x39 + L"\u2026"},
      {std::wstring(38, L'x') + pair + L"y", std::wstring(38, L'x') + pair + L"\u2026"},
      // ...and half of one is no character.
      {L"a\xD83D"
       L"b\xDE97\xD83D",
       L"a?b??"},
      {x39 + L"\xD83Dy", x39 + L"?\u2026"},
      // The first and last code points beyond the 16-bit range (the last a
      // noncharacter, so unassigned), and each end of both halves' ranges alone.
      {L"\xD800\xDC00\xDBFF\xDFFF", L"\xD800\xDC00?"},
      {L"\xD800"
       L"a\xDBFF"
       L"b\xDC00\xDFFF",
       L"?a?b??"},
  };
  for (const Case& c : cases) {
    const std::wstring isolated = c.shown.empty() ? L"" : L"\u2068" + c.shown + L"\u2069";
    EXPECT_EQ(QuotedExcerpt(c.text), L"\"" + isolated + L"\"") << c.shown.size();
  }
}

TEST(SaveDelay, WritesWholeSecondsWithoutSuffix) {
  FakeStore store;
  store.Set(kIntervalKey, L"45");
  struct Case {
    std::int32_t ms;
    const wchar_t* text;
  };
  for (Case c : {Case{1000, L"1"}, Case{2000, L"2"}, Case{10000, L"10"}, Case{60000, L"60"}}) {
    SaveDelay(store, c.ms);
    EXPECT_EQ(store.Read(kAppTitle, kSection, kIntervalKey, L"?"), c.text);
  }
  EXPECT_EQ(DelayText(1500), L"1.5");
}

TEST(FillText, GrowsAsAskedWithinABoundAndEndsTheTextAtItsFirstNul) {
  // Each call writes "ab\0cdef" as far as the buffer goes, and answers as scripted (the last answer repeating).
  using T = TextFill;
  struct Case {
    std::vector<TextFill> answers;
    std::optional<std::wstring> text;
    long error;
    std::size_t calls, lastCapacity;
  };
  for (const Case& c : {Case{{{T::Filled, 6}}, L"ab", 0, 1, 260}, Case{{{T::Filled, 1}}, L"a", 0, 1, 260},
                        Case{{{T::TooSmall, 300}, {T::Filled, 6}}, L"ab", 0, 2, 300},
                        Case{{{T::TooSmall, 9}, {T::Filled, 6}}, L"ab", 0, 2, 261},
                        Case{{{T::TooSmall, 0}, {T::Failed, 0, 5}}, std::nullopt, 5, 2, 261},
                        Case{{{T::TooSmall, 0, kErrorMoreData}}, std::nullopt, kErrorMoreData, kFillAttempts, 267}}) {
    std::vector<std::size_t> capacities;
    const FilledText got = FillText([&](wchar_t* buffer, std::size_t capacity) {
      std::wmemcpy(buffer, L"ab\0cdef", std::min<std::size_t>(capacity, 6));
      capacities.push_back(capacity);
      return c.answers[std::min(capacities.size(), c.answers.size()) - 1];
    });
    EXPECT_EQ(got.text, c.text);
    EXPECT_EQ(got.error, c.error);
    EXPECT_EQ(capacities.size(), c.calls);
    EXPECT_EQ(capacities.back(), c.lastCapacity);
  }
  // The platform's two ways of answering: a status (with its error) and a length.
  EXPECT_EQ(
      (std::vector{StatusAnswer(0, 3).outcome, StatusAnswer(kErrorMoreData, 9).outcome, StatusAnswer(2, 9).outcome,
                   LengthAnswer(0, 260).outcome, LengthAnswer(259, 260).outcome, LengthAnswer(260, 260).outcome}),
      (std::vector{T::Filled, T::TooSmall, T::Failed, T::Failed, T::Filled, T::TooSmall}));
  EXPECT_EQ(StatusAnswer(2, 9).error, 2);
}

}  // namespace
}  // namespace salvanto
