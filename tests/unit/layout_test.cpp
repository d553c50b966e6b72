#include <gtest/gtest.h>

#include <limits>

#include "base/errors.h"
#include "slideshow/layout.h"
#include "tests/unit/fakes.h"

namespace salvanto {
namespace {

using testing::FakeScreen;

struct Screen {
  int width, height, dpi;
  float frameTop, frameLeft, captionLeft, captionTop, bannerLeft, bannerTop;
};

class LoadLayoutOn : public ::testing::TestWithParam<Screen> {};

TEST_P(LoadLayoutOn, PlacesFrameCaptionAndBannerInTwips) {
  const Screen s = GetParam();
  FakeScreen screen(PixelsToTwips(s.width, s.dpi), PixelsToTwips(s.height, s.dpi));
  const Form1Layout layout = LoadLayout(screen);
  EXPECT_EQ(layout.SSPanel1.Top, s.frameTop);
  EXPECT_EQ(layout.SSPanel1.Left, s.frameLeft);
  EXPECT_EQ(layout.panYear.Left, s.captionLeft);
  EXPECT_EQ(layout.panYear.Top, s.captionTop);
  EXPECT_EQ(layout.Image2.Left, s.bannerLeft);
  EXPECT_EQ(layout.Image2.Top, s.bannerTop);
  // Sizes and the photo's place in its frame never change.
  const Form1Layout design = DesignLayout();
  EXPECT_EQ(layout.SSPanel1.Width, design.SSPanel1.Width);
  EXPECT_EQ(layout.panYear.Height, design.panYear.Height);
  EXPECT_EQ(layout.Image1.Left, 120.0f);
  EXPECT_EQ(layout.Image1.Top, 120.0f);
}

INSTANTIATE_TEST_SUITE_P(Screens, LoadLayoutOn,
                         ::testing::Values(Screen{800, 600, 96, 0, 52.5f, 4102.5f, 7335, 1777.5f, 7695},
                                           Screen{640, 480, 96, 0, -1147.5f, 2902.5f, 7335, 577.5f, 7695},
                                           Screen{1024, 768, 96, 1400, 1732.5f, 5782.5f, 8735, 3457.5f, 9095},
                                           Screen{1280, 1024, 96, 1400, 3652.5f, 7702.5f, 8735, 5377.5f, 9095},
                                           // 800 x 600 at 120 DPI is 9600 x 7200 twips: the 640 x 480 test holds.
                                           Screen{800, 600, 120, 0, -1147.5f, 2902.5f, 7335, 577.5f, 7695},
                                           // 1000 x 750 at 120 DPI is 12000 x 9000 twips, as 800 x 600 at 96.
                                           Screen{1000, 750, 120, 0, 52.5f, 4102.5f, 7335, 1777.5f, 7695},
                                           Screen{1920, 1080, 144, 1400, 3652.5f, 7702.5f, 8735, 5377.5f, 9095}));

TEST(LoadLayout, TheBannerEndsWhereTheScreenTestSaysItShould) {
  FakeScreen vga(12000, 9000);
  const Form1Layout small = LoadLayout(vga);
  EXPECT_EQ(small.Image2.Top + small.Image2.Height, 8700.0f);
  FakeScreen sxga(19200, 15360);
  const Form1Layout large = LoadLayout(sxga);
  EXPECT_EQ(large.Image2.Top + large.Image2.Height, 10100.0f);
}

TEST(LoadLayout, AScreenSizeThatIsNotANumberIsAFloatingPointError) {
  for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
    FakeScreen screen(bad, 9000);
    try {
      LoadLayout(screen);
      ADD_FAILURE() << "no error for " << bad;
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.Kind(), ErrorKind::FloatingPoint);
    }
  }
}

TEST(TwipsToPixels, ConvertsEdgesSoThatTouchingControlsTouch) {
  EXPECT_EQ(TwipsPerPixel(96), 15.0f);
  EXPECT_EQ(TwipsPerPixel(120), 12.0f);
  // Half a pixel goes right/down, on both sides of zero.
  EXPECT_EQ(TwipsToPixels(52.5f, 15), 4);
  EXPECT_EQ(TwipsToPixels(-1147.5f, 15), -76);
  EXPECT_EQ(TwipsToPixels(7.4f, 15), 0);
  // The frame at 800 x 600: 793 x 489 pixels, the photo 777 x 473 inside it.
  FakeScreen vga(12000, 9000);
  const Form1Layout layout = LoadLayout(vga);
  const PixelRect frame = ToPixels(layout.SSPanel1, 15);
  EXPECT_EQ(frame.left, 4);
  EXPECT_EQ(frame.width(), 793);
  EXPECT_EQ(frame.height(), 489);
  const PixelRect photo = ToPixels(layout.Image1, 15);
  EXPECT_EQ(photo.left, 8);
  EXPECT_EQ(photo.width(), 777);
  EXPECT_EQ(photo.height(), 473);
  EXPECT_EQ(ToPixels(layout.panYear, 15).top, frame.bottom);
  EXPECT_EQ(ToPixels(layout.Image2, 15).top, ToPixels(layout.panYear, 15).bottom);
  // At 120 DPI every control is 1.25 times as many pixels, within the rounding.
  const PixelRect photo120 = ToPixels(layout.Image1, 12);
  EXPECT_EQ(photo120.width(), 971);
  EXPECT_EQ(photo120.height(), 591);
  EXPECT_EQ(TwipsToPixels(1e30f, 15), 1000000000);
  // A control keeps its designed size wherever the layout places it, though
  // the placed edges alone would round to a pixel less.
  EXPECT_EQ(PlacedPixels({0, 0, 22.5f, 15}, {7.5f, 7.5f, 22.5f, 15}, 15), (PixelRect{1, 1, 3, 2}));
}

TEST(IsScreenSize, ComparesTwipsAtFifteenPerPixel) {
  FakeScreen vga96(PixelsToTwips(800, 96), PixelsToTwips(600, 96));
  EXPECT_EQ(IsScreenSize(vga96, 800, 600), true);
  FakeScreen vga120(PixelsToTwips(800, 120), PixelsToTwips(600, 120));
  EXPECT_FALSE(IsScreenSize(vga120, 800, 600));
  EXPECT_EQ(IsScreenSize(vga120, 640, 480), true);  // 9600 x 7200 twips
  FakeScreen big120(PixelsToTwips(1000, 120), PixelsToTwips(750, 120));
  EXPECT_EQ(IsScreenSize(big120, 800, 600), true);
  FakeScreen small96(PixelsToTwips(640, 96), PixelsToTwips(480, 96));
  EXPECT_EQ(IsScreenSize(small96, 640, 480), true);
  EXPECT_FALSE(IsScreenSize(small96, 800, 600));
}

TEST(IsScreenSize, ReadsTheHeightOnlyWhenTheWidthMatches) {
  FakeScreen wrongHeight(12000, 9015);
  EXPECT_FALSE(IsScreenSize(wrongHeight, 800, 600));
  EXPECT_EQ(wrongHeight.heightReads, 1);
  FakeScreen wrongWidth(12015, 9000);
  EXPECT_FALSE(IsScreenSize(wrongWidth, 800, 600));
  EXPECT_EQ(wrongWidth.heightReads, 0);
}

TEST(TimerPeriodMs, MultipliesCheckedAndRefusesNegativePeriods) {
  EXPECT_EQ(TimerPeriodMs(0), 0);
  EXPECT_EQ(TimerPeriodMs(60), 60000);
  EXPECT_EQ(TimerPeriodMs(2147483), 2147483000);
  auto kindOf = [](std::int32_t seconds) {
    try {
      TimerPeriodMs(seconds);
    } catch (const RuntimeError& e) {
      return e.Kind();
    }
    return ErrorKind::FloatingPoint;
  };
  EXPECT_EQ(kindOf(2147484), ErrorKind::Overflow);
  EXPECT_EQ(kindOf(std::numeric_limits<std::int32_t>::min()), ErrorKind::Overflow);
  EXPECT_EQ(kindOf(-1), ErrorKind::InvalidPropertyValue);
}

}  // namespace
}  // namespace salvanto
