#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>

#include "slideshow/captions.h"

namespace salvanto {
namespace {

std::wstring CaptionOfPath(const std::wstring& upperPath) { return CaptionFor(upperPath, InStr(upperPath, kMarker)); }

TEST(Captions, EveryCategoryCodeDecodesToItsCaption) {
  // The trailing blanks are part of the captions, on all but two.
  const std::pair<std::wstring_view, std::wstring_view> categories[] = {
      {L"JA", L"Painter Portfolio "},
      {L"AZ", L"1990-1995 Performance Model "},
      {L"BC", L"Tuner Coupe "},
      {L"C5", L"Fifth Series Emblem "},
      {L"CA", L"Additional Clip Art "},
      {L"CC", L"Tuner Twin-Turbo "},
      {L"CV", L"Custom Salvantos"},
      {L"DP", L"Prototypes "},
      {L"DR", L"Race Cars "},
      {L"EM", L"Salvanto Emblems "},
      {L"ES", L"Salvanto Ski Boat "},
      {L"FL", L"Tuner Shop Cars "},
      {L"FM", L"Builder Cars "},
      {L"GA", L"Art Print One "},
      {L"GB", L"Art Print Two "},
      {L"GH", L"National Salvanto Museum Print "},
      {L"GL", L"Art Print Three "},
      {L"GS", L"Automotive Concepts "},
      {L"GT", L"GTR Roadster "},
      {L"MA", L"Salvanto Americana "},
      {L"MN", L"The National Salvanto Museum "},
      {L"MS", L"Miscellany "},
      {L"TC", L"Salvanto Calendars "},
      {L"TD", L"Scale Replica Model "},
      {L"TE", L"Collector Knives "},
      {L"TF", L"Die-cast Models "},
      {L"TI", L"Fuel Injected Engine Model "},
      {L"TP", L"Collector Plates "},
      {L"TT", L"Top Ten Salvanto People "},
      {L"TX", L"Salvanto Holiday Cards "},
      {L"TW", L"Salvanto Pocket Watch "},
      {L"US", L"Salvanto Board Game "},
      {L"VM", L"Salvanto Metal Signs "},
      {L"VR", L"Plastic Kit Models"},
      {L"XP", L"Salvanto Pinball Machine "},
      {L"ZY", L"Salvanto Coin "},
      {L"ZW", L"Salvanto Rubber Stamps "},
      {L"ZX", L"Salvanto Playing Cards "},
      {L"ZZ", L"Salvanto Philately "},
  };
  for (auto [code, caption] : categories) {
    // Through the whole decoding, as a photo of the collection is named.
    const std::wstring path = L"E:\\PHOTOS\\SALVAS_" + std::wstring(code) + L"0042.BMP";
    EXPECT_EQ(CaptionOfPath(path), caption) << path;
  }
  EXPECT_EQ(CaptionOfPath(L"E:\\SALVAS_ZY1.JPG"), L"Salvanto Coin ");
  EXPECT_EQ(CaptionOfPath(L"E:\\SALVAS_C51.JPG"), L"Fifth Series Emblem ");
}

TEST(Captions, YearRule) {
  struct Case {
    const wchar_t* path;
    const wchar_t* caption;
  };
  const Case cases[] = {
      {L"D:\\SALVAS_57.JPG", L"  1957 Salvanto   "},
      {L"D:\\SALVAS_99.JPG", L"  1999 Salvanto   "},
      {L"D:\\SALVAS_00.JPG", L"  2000 Salvanto   "},
      {L"D:\\SALVAS_02.JPG", L"  2002 Salvanto   "},
      // Only the second character follows "200".
      {L"D:\\SALVAS_12.JPG", L"  2002 Salvanto   "},
      {L"D:\\SALVAS_QQ.JPG", L"  200Q Salvanto   "},
      {L"D:\\SALVAS_4X.JPG", L"  200X Salvanto   "},
      // The path ends before the code: nothing, or half of it.
      {L"D:\\SALVAS_", L"  200 Salvanto   "},
      {L"D:\\SALVAS", L"  200 Salvanto   "},
      {L"D:\\SALVAS_5", L"  195 Salvanto   "},
      {L"D:\\SALVAS_Q", L"  200 Salvanto   "},
  };
  for (const Case& c : cases) EXPECT_EQ(CaptionOfPath(c.path), c.caption) << c.path;
  EXPECT_EQ(CaptionOfPath(L"D:\\SALVAS_57.JPG").size(), 18u);
  EXPECT_EQ(CaptionOfPath(L"D:\\SALVAS_01.JPG").size(), 18u);
}

TEST(Captions, CodePositionFollowsTheFirstMarker) {
  // The character right after the marker is skipped, whatever it is.
  EXPECT_EQ(CaptionOfPath(L"D:\\SALVASXZY.JPG"), L"Salvanto Coin ");
  // A folder named after the marker: the code opens each file name.
  EXPECT_EQ(CaptionOfPath(L"D:\\SALVAS\\TF0001.JPG"), L"Die-cast Models ");
  // Only the first occurrence counts.
  EXPECT_EQ(CaptionOfPath(L"D:\\SALVAS\\SALVAS_ZY.JPG"), L"  200A Salvanto   ");
  // No marker: characters 7 and 8 of the path are the code.
  EXPECT_EQ(CaptionOfPath(L"C:\\PIX\\C5.JPG"), L"  200C Salvanto   ");
  EXPECT_EQ(CaptionOfPath(L"C:\\PIXZY.JPG"), L"Salvanto Coin ");
  EXPECT_EQ(CaptionOfPath(L"C:\\"), L"  200 Salvanto   ");
}

TEST(Captions, TextHelpersCountFromOneAndStopAtTheEnd) {
  EXPECT_EQ(InStr(L"d:\\salvas_zy", kMarker), 0u);  // case matters
  EXPECT_EQ(InStr(L"SALVAS", kMarker), 1u);
  EXPECT_EQ(InStr(L"", kMarker), 0u);
  EXPECT_EQ(Mid(L"ABCDEFGH", 1, 2), L"AB");
  EXPECT_EQ(Mid(L"ABCDEFGH", 7, 2), L"GH");
  EXPECT_EQ(Mid(L"ABCDEFGH", 8, 2), L"H");
  EXPECT_EQ(Mid(L"ABCDEFGH", 9, 2), L"");
  EXPECT_EQ(Mid(L"ABCDEFGH", 100, 1), L"");
}

}  // namespace
}  // namespace salvanto
