#include <gtest/gtest.h>

#include <set>
#include <string>

#include "slideshow/captions.h"

namespace salvanto {
namespace {

std::wstring CaptionOfPath(const std::wstring& upperPath) { return CaptionFor(upperPath, InStr(upperPath, kMarker)); }

TEST(Captions, EveryCodeOfTheTableDecodesToItsOwnRow) {
  const auto table = CaptionTable();
  EXPECT_EQ(table.size(), 39u);
  std::set<std::wstring_view> codes;
  for (const CaptionRow& row : table) {
    codes.insert(row.code);
    // Through the whole decoding, as a photo of the collection is named.
    const std::wstring path = L"E:\\PHOTOS\\SALVAS_" + std::wstring(row.code) + L"0042.BMP";
    EXPECT_EQ(CaptionOfPath(path), row.caption) << path;
  }
  EXPECT_EQ(codes.size(), table.size()) << "a code stands twice";
  EXPECT_EQ(CaptionOfPath(L"E:\\SALVAS_ZY1.JPG"), L"Salvanto Coin ");
  EXPECT_EQ(CaptionOfPath(L"E:\\SALVAS_C51.JPG"), L"Fifth Series Emblem ");
}

TEST(Captions, TrailingBlankOnAllButTwoRows) {
  for (const CaptionRow& row : CaptionTable()) {
    const bool bare = row.code == L"CV" || row.code == L"VR";
    EXPECT_EQ(row.caption.ends_with(L' '), !bare) << std::wstring(row.code);
    EXPECT_FALSE(row.caption.ends_with(L"  ")) << std::wstring(row.code);
  }
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
  EXPECT_EQ(Mid(L"ABCDEFGH", 7, 2), L"GH");
  EXPECT_EQ(Mid(L"ABCDEFGH", 8, 2), L"H");
  EXPECT_EQ(Mid(L"ABCDEFGH", 9, 2), L"");
  EXPECT_EQ(Mid(L"ABCDEFGH", 100, 1), L"");
}

}  // namespace
}  // namespace salvanto
