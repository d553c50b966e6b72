#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <vector>

#include "pictures/picture_header.h"
#include "pictures/resample.h"

namespace salvanto {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A source picture of grey levels, bpp bytes per pixel (B = G = R = level).
struct Grey {
  PixelSize size;
  std::uint32_t bpp = 3;
  Bytes pixels;

  Grey(PixelSize s, std::uint32_t b = 3) : size(s), bpp(b), pixels(std::size_t{s.width} * s.height * b, 0) {}
  void Set(std::uint32_t x, std::uint32_t y, std::uint8_t level) {
    std::uint8_t* p = &pixels[(std::size_t{y} * size.width + x) * bpp];
    p[0] = p[1] = p[2] = level;
  }
};

// Scales the whole source in bands of bandRows; the target's grey levels
// (its green channel), and a check that the colours stayed grey.
std::vector<int> Scale(const Grey& source, PixelSize target, std::uint32_t bandRows = 1000000) {
  Bytes out(std::size_t{target.width} * target.height * 4, 0xEE);
  Resampler resampler(source.size, source.bpp, target, out.data(), std::size_t{target.width} * 4);
  const std::size_t stride = std::size_t{source.size.width} * source.bpp;
  for (std::uint32_t y = 0; y < source.size.height; y += bandRows) {
    resampler.AddRows(source.pixels.data() + stride * y, stride, std::min(bandRows, source.size.height - y));
  }
  EXPECT_TRUE(resampler.Done());
  std::vector<int> levels;
  for (std::size_t i = 0; i < out.size(); i += 4) {
    EXPECT_EQ(out[i], out[i + 1]);
    EXPECT_EQ(out[i + 2], out[i + 1]);
    EXPECT_EQ(out[i + 3], 0);
    levels.push_back(out[i + 1]);
  }
  return levels;
}

TEST(Resampler, OnePixelCheckerboardBecomesEvenGrey) {
  for (std::uint32_t bpp : {3u, 4u}) {
    Grey board({64, 48}, bpp);
    for (std::uint32_t y = 0; y < 48; ++y)
      for (std::uint32_t x = 0; x < 64; ++x) board.Set(x, y, (x + y) % 2 ? 255 : 0);
    for (PixelSize target : {PixelSize{32, 24}, PixelSize{16, 12}, PixelSize{21, 13}}) {
      for (int level : Scale(board, target)) {
        // Exactly even where whole 2x2 blocks are averaged; never far off elsewhere.
        if (target.width == 32 || target.width == 16) {
          EXPECT_EQ(level, 128);
        } else {
          EXPECT_NEAR(level, 128, 24);
        }
      }
    }
  }
}

TEST(Resampler, KeepsEachColourInItsOwnChannel) {
  for (std::uint32_t bpp : {3u, 4u}) {
    const PixelSize from{5, 4};
    Bytes source(std::size_t{from.width} * from.height * bpp, 0x77);
    for (std::size_t i = 0; i < source.size(); i += bpp) {
      source[i] = 10;       // blue
      source[i + 1] = 120;  // green
      source[i + 2] = 240;  // red
    }
    for (PixelSize to : {PixelSize{3, 2}, PixelSize{9, 7}}) {
      Bytes out(std::size_t{to.width} * to.height * 4, 0xEE);
      Resampler resampler(from, bpp, to, out.data(), std::size_t{to.width} * 4);
      resampler.AddRows(source.data(), std::size_t{from.width} * bpp, from.height);
      for (std::size_t i = 0; i < out.size(); i += 4) {
        ASSERT_EQ((std::array<int, 4>{out[i], out[i + 1], out[i + 2], out[i + 3]}),
                  (std::array<int, 4>{10, 120, 240, 0}))
            << bpp << " bytes a pixel to " << to.width << "x" << to.height;
      }
    }
  }
}

TEST(Resampler, FlatAreasStayExactlyFlatAtAnyRatio) {
  const PixelSize sizes[] = {{1, 1}, {3, 2}, {7, 5}, {777, 473}, {1000, 1}, {1, 997}};
  for (PixelSize from : sizes) {
    Grey flat(from);
    for (std::uint32_t y = 0; y < from.height; ++y)
      for (std::uint32_t x = 0; x < from.width; ++x) flat.Set(x, y, 201);
    for (PixelSize to : sizes) {
      for (int level : Scale(flat, to, 3))
        ASSERT_EQ(level, 201) << from.width << "x" << from.height << " to " << to.width << "x" << to.height;
    }
  }
}

TEST(Resampler, AreaAveragingAtOddRatiosAndEdges) {
  // 3 -> 2: target 0 covers source [0, 1.5), target 1 covers [1.5, 3).
  Grey row({3, 1});
  row.Set(0, 0, 0);
  row.Set(1, 0, 90);
  row.Set(2, 0, 180);
  EXPECT_EQ(Scale(row, {2, 1}), (std::vector<int>{30, 150}));
  // A hard edge on a pixel boundary stays hard.
  Grey edge({8, 4});
  for (std::uint32_t y = 0; y < 4; ++y)
    for (std::uint32_t x = 4; x < 8; ++x) edge.Set(x, y, 255);
  EXPECT_EQ(Scale(edge, {2, 1}), (std::vector<int>{0, 255}));
  // The same down the columns, and the last pixel is not lost to rounding.
  Grey column({1, 7});
  column.Set(0, 6, 255);
  EXPECT_EQ(Scale(column, {1, 7}).back(), 255);
  EXPECT_EQ(Scale(column, {1, 1}), (std::vector<int>{36}));  // 255 / 7
}

TEST(Resampler, EnlargingInterpolatesBetweenPixelCentres) {
  Grey two({2, 1});
  two.Set(1, 0, 255);
  EXPECT_EQ(Scale(two, {4, 1}), (std::vector<int>{0, 64, 191, 255}));
  // At 2.5 times the second centre lies just past the first source pixel's.
  EXPECT_EQ(Scale(two, {5, 1}), (std::vector<int>{0, 25, 128, 230, 255}));
  // Down the columns too; the outer pixels repeat the edge.
  Grey tall({1, 2});
  tall.Set(0, 1, 200);
  EXPECT_EQ(Scale(tall, {1, 6}), (std::vector<int>{0, 0, 67, 133, 200, 200}));
  // Shrinking across while enlarging down.
  Grey mixed({4, 2});
  for (std::uint32_t x = 0; x < 4; ++x) mixed.Set(x, 1, 100);
  EXPECT_EQ(Scale(mixed, {2, 4}), (std::vector<int>{0, 0, 25, 25, 75, 75, 100, 100}));
}

TEST(Resampler, BandHeightDoesNotChangeTheResult) {
  Grey noise({103, 71}, 4);
  std::uint32_t seed = 12345;
  for (auto& b : noise.pixels) b = static_cast<std::uint8_t>((seed = seed * 1103515245 + 12345) >> 16);
  for (std::uint32_t bpp : {3u, 4u}) {
    noise.bpp = bpp;  // the same bytes read as the other layout: just different data
    noise.size = bpp == 3 ? PixelSize{103, 94} : PixelSize{103, 71};
    for (PixelSize to : {PixelSize{40, 17}, PixelSize{250, 180}}) {
      // Colours differ per channel here; compare the raw target bytes.
      auto run = [&](std::uint32_t band) {
        Bytes out(std::size_t{to.width} * to.height * 4);
        Resampler r(noise.size, bpp, to, out.data(), std::size_t{to.width} * 4);
        const std::size_t stride = std::size_t{noise.size.width} * bpp;
        std::uint32_t next = 0;  // each band in order, of whole rows, as the decoder hands it over
        EXPECT_TRUE(FeedBands(r, noise.size, bpp, stride * band, [&](auto y, auto rows, auto rowBytes, auto* into) {
          EXPECT_EQ(std::tie(y, rowBytes), std::tie(next, stride));
          EXPECT_EQ(rows, std::min(band, noise.size.height - y));
          next += rows;
          std::copy_n(noise.pixels.begin() + static_cast<std::ptrdiff_t>(stride * y), stride * rows, into);
          return true;
        }));
        return out;
      };
      const Bytes whole = run(1000);
      EXPECT_EQ(run(1), whole);
      EXPECT_EQ(run(7), whole);
      Bytes sink(std::size_t{to.width} * to.height * 4);
      Resampler r(noise.size, bpp, to, sink.data(), std::size_t{to.width} * 4);
      EXPECT_FALSE(FeedBands(r, noise.size, bpp, 1, [](auto y, auto...) { return y < 5; })) << "a band unread";
    }
  }
}

TEST(MakeTaps, WeightsAlwaysSumToOneAndStayWithinTheSource) {
  const std::pair<std::uint32_t, std::uint32_t> axes[] = {
      {1, 1}, {1, 777}, {2, 3}, {3, 2}, {8000, 777}, {65535, 1}, {20000, 3}, {473, 6000}, {100001, 99999}};
  for (auto [source, target] : axes) {
    const AxisTaps taps = MakeTaps(source, target);
    for (std::uint32_t i = 0; i < target; ++i) {
      std::uint32_t sum = 0;
      for (std::uint32_t k = 0; k < taps.Count(i); ++k) sum += taps.weights[taps.offset[i] + k];
      ASSERT_EQ(sum, AxisTaps::kWeightOne) << source << " -> " << target << " at " << i;
      ASSERT_LT(taps.Last(i), source);
      if (i > 0) {
        ASSERT_GE(taps.Last(i), taps.Last(i - 1));
      }
    }
  }
  // An empty axis has no taps: no picture and no frame is ever 0 wide.
  EXPECT_THROW(MakeTaps(0, 3), std::invalid_argument);
  EXPECT_THROW(MakeTaps(3, 0), std::invalid_argument);
  // A hugely wide row into one pixel still sees all of it, not just its start.
  Grey wide({40000, 1});
  for (std::uint32_t x = 20000; x < 40000; ++x) wide.Set(x, 0, 254);
  EXPECT_EQ(Scale(wide, {1, 1}), (std::vector<int>{127}));
}

TEST(DecoderScale, TakenWhenAtLeastTheTargetAndSmallerThanTheStoredPicture) {
  const PixelSize stored{1600, 1200}, target{300, 200};
  // (the size the decoder offers, whether it is taken)
  for (auto [offered, taken] : {std::pair{PixelSize{400, 300}, true},
                                {PixelSize{300, 200}, true},
                                {PixelSize{200, 150}, false},
                                {PixelSize{400, 199}, false},
                                {stored, false},
                                {PixelSize{1600, 1199}, true},
                                {PixelSize{1601, 1200}, false},
                                {PixelSize{800, 1300}, false}}) {
    EXPECT_EQ(TakesDecoderScale(offered, target, stored), taken) << offered.width << "x" << offered.height;
  }
  // Nothing asked: the picture's own size; and bands of about a megabyte.
  EXPECT_EQ(TargetSize(0, 0, stored), stored);
  EXPECT_EQ(TargetSize(777, 0, stored), stored);
  EXPECT_EQ(TargetSize(777, 473, stored), (PixelSize{777, 473}));
  EXPECT_EQ(TargetSize(1, 1, stored), (PixelSize{1, 1}));
  EXPECT_EQ(BandRows(1 << 20, 1600 * 3, 1200), 218u);
  EXPECT_EQ(BandRows(1 << 20, 8u << 20, 1200), 1u);
  EXPECT_EQ(BandRows(1 << 20, 64, 100), 100u);
  EXPECT_FALSE(IsOrientation(0) || IsOrientation(9));
  EXPECT_TRUE(IsOrientation(1) && IsOrientation(8));
}

TEST(PictureSize, SaneBounds) {
  EXPECT_TRUE(IsSanePictureSize({1, 1}));
  EXPECT_TRUE(IsSanePictureSize({20000, 15000}));
  EXPECT_FALSE(IsSanePictureSize({0, 10}));
  EXPECT_FALSE(IsSanePictureSize({10, 0}));
  EXPECT_FALSE(IsSanePictureSize({20000, 15001}));
  EXPECT_FALSE(IsSanePictureSize({65535, 65535}));
  EXPECT_FALSE(IsSanePictureSize({0xFFFFFFFFu, 1}));
}

TEST(Reorient, EveryExifOrientationComesOutUpright) {
  // Stored 3 wide, 2 high; each pixel's first byte is its number.
  //   0 1 2
  //   3 4 5
  Bytes stored(3 * 2 * 4, 0);
  for (std::uint8_t i = 0; i < 6; ++i) stored[i * 4u] = i;
  struct Case {
    int orientation;
    std::vector<int> upright;  // row by row
  };
  const Case cases[] = {
      {1, {0, 1, 2, 3, 4, 5}}, {2, {2, 1, 0, 5, 4, 3}}, {3, {5, 4, 3, 2, 1, 0}}, {4, {3, 4, 5, 0, 1, 2}},
      {5, {0, 3, 1, 4, 2, 5}}, {6, {3, 0, 4, 1, 5, 2}}, {7, {5, 2, 4, 1, 3, 0}}, {8, {2, 5, 1, 4, 0, 3}},
      {0, {0, 1, 2, 3, 4, 5}}, {9, {0, 1, 2, 3, 4, 5}},
  };
  const PixelSize kStored{3, 2};
  const std::size_t kStoredStride = 3 * 4;
  for (const Case& c : cases) {
    const PixelSize upright = StoredSize({3, 2}, c.orientation);
    EXPECT_EQ(upright, (SwapsAxes(c.orientation) ? PixelSize{2, 3} : PixelSize{3, 2}));
    Bytes out(6 * 4);
    // Scaled as stored, at the upright target's size turned back.
    EXPECT_TRUE(ScaleUpright(upright, c.orientation, out.data(), std::size_t{upright.width} * 4,
                             [&](PixelSize size, std::uint8_t* pixels, std::size_t stride) {
                               EXPECT_EQ(std::tie(size, stride), std::tie(kStored, kStoredStride));
                               std::copy(stored.begin(), stored.end(), pixels);
                               return true;
                             }));
    std::vector<int> firsts;
    for (std::size_t i = 0; i < out.size(); i += 4) firsts.push_back(out[i]);
    EXPECT_EQ(firsts, c.upright) << "orientation " << c.orientation;
    EXPECT_FALSE(ScaleUpright(upright, c.orientation, out.data(), 8, [](auto...) { return false; }));
  }
}

// Header peeks: sizes as the formats declare them.
TEST(PeekPictureSize, ReadsTheDeclaredSizeOfCommonFormats) {
  // JPEG: SOI, an APP1 segment, fill bytes, a progressive SOF2 of 6000 x 4000.
  Bytes jpeg = {0xFF, 0xD8, 0xFF, 0xE1, 0x00, 0x06, 'E',  'x',  'i',  'f', 0xFF,
                0xFF, 0xC2, 0x00, 0x11, 0x08, 0x0F, 0xA0, 0x17, 0x70, 0x03};
  EXPECT_EQ(PeekPictureSize(jpeg), (PixelSize{6000, 4000}));
  // Before the frame header arrives, and with the height left for later.
  EXPECT_EQ(PeekPictureSize(std::span(jpeg).first(12)), std::nullopt);
  jpeg[16] = jpeg[17] = 0;
  EXPECT_EQ(PeekPictureSize(jpeg), std::nullopt);
  // Markers without a length (TEM, RST0 to RST7) before the frame header are stepped over.
  for (std::uint8_t marker : Bytes{0x01, 0xD0, 0xD7}) {
    const Bytes rst = {0xFF, 0xD8, 0xFF, marker, 0xFF, 0xC0, 0x00, 0x0B, 0x08, 0x00, 0x02, 0x00, 0x03};
    EXPECT_EQ(PeekPictureSize(rst), (PixelSize{3, 2})) << int{marker};
  }
  // Every kind of frame header (SOF0 to SOF15) gives the size; DHT (C4),
  // JPG (C8) and DAC (CC) segments are none (here empty ones), and the
  // frame comes after them.
  for (int marker = 0xC0; marker <= 0xCF; ++marker) {
    const auto m = static_cast<std::uint8_t>(marker);
    const Bytes frame = {0xFF, 0xD8, 0xFF, m, 0x00, 0x0B, 0x08, 0x00, 0x02, 0x00, 0x03};
    const bool none = marker == 0xC4 || marker == 0xC8 || marker == 0xCC;
    EXPECT_EQ(PeekPictureSize(frame), none ? std::nullopt : std::optional(PixelSize{3, 2})) << marker;
    const Bytes after = {0xFF, 0xD8, 0xFF, m, 0x00, 0x02, 0xFF, 0xC0, 0x00, 0x0B, 0x08, 0x00, 0x02, 0x00, 0x03};
    EXPECT_EQ(PeekPictureSize(after), none ? std::optional(PixelSize{3, 2}) : std::nullopt) << marker;
  }
  // The walk ends where the scan data starts.
  const Bytes scan = {0xFF, 0xD8, 0xFF, 0xDA, 0x00, 0x02, 0xFF, 0xC0, 0x00, 0x0B, 0x08, 0x00, 0x02, 0x00, 0x03};
  EXPECT_EQ(PeekPictureSize(scan), std::nullopt);

  const Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0,    0,    0,    13,
                     'I',  'H', 'D', 'R', 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x80, 0x00};
  EXPECT_EQ(PeekPictureSize(png), (PixelSize{65536, 32768}));
  // The size before it has arrived, or in a first chunk that is not IHDR.
  EXPECT_EQ(PeekPictureSize(std::span(png).first(20)), std::nullopt);
  Bytes notHeader = png;
  notHeader[12] = 'I';
  notHeader[13] = 'D';
  notHeader[14] = 'A';
  notHeader[15] = 'T';
  EXPECT_EQ(PeekPictureSize(notHeader), std::nullopt);
  const Bytes gif = {'G', 'I', 'F', '8', '9', 'a', 0x09, 0x03, 0x61, 0x01};
  EXPECT_EQ(PeekPictureSize(gif), (PixelSize{777, 353}));

  Bytes bmp(54, 0);
  bmp[0] = 'B';
  bmp[1] = 'M';
  bmp[14] = 40;
  bmp[18] = 0x65;  // 613 wide
  bmp[19] = 0x02;
  bmp[22] = 0x92;  // -366 high: stored top-down
  bmp[23] = 0xFE;
  bmp[24] = bmp[25] = 0xFF;
  EXPECT_EQ(PeekPictureSize(bmp), (PixelSize{613, 366}));
  bmp[22] = 0;
  bmp[23] = 0;
  bmp[24] = 0;
  bmp[25] = 0x80;  // INT32_MIN high
  EXPECT_EQ(PeekPictureSize(bmp), (PixelSize{613, 0x80000000u}));
  EXPECT_FALSE(IsSanePictureSize(*PeekPictureSize(bmp)));
  // An OS/2 bitmap: a 12-byte header of 16-bit sizes, 26 bytes in all.
  const Bytes core = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 26, 0, 0, 0, 12, 0, 0, 0, 0x65, 0x02, 0x6E, 0x01, 1, 0, 24, 0};
  EXPECT_EQ(PeekPictureSize(core), (PixelSize{613, 366}));

  EXPECT_EQ(PeekPictureSize(Bytes{'I', 'I', '*', 0}), std::nullopt);
  EXPECT_EQ(PeekPictureSize(Bytes{'h', 'e', 'l', 'l', 'o'}), std::nullopt);
  EXPECT_EQ(PeekPictureSize(Bytes{}), std::nullopt);
}

// An Exif segment holding one orientation entry, in either byte order,
// after another entry or alone.
Bytes ExifJpeg(int orientation, bool little, std::uint16_t type = 3, bool alone = false) {
  auto u16 = [&](Bytes& b, unsigned v) {
    little ? b.insert(b.end(), {std::uint8_t(v), std::uint8_t(v >> 8)})
           : b.insert(b.end(), {std::uint8_t(v >> 8), std::uint8_t(v)});
  };
  auto u32 = [&](Bytes& b, unsigned v) {
    if (little) {
      u16(b, v & 0xFFFF);
      u16(b, v >> 16);
    } else {
      u16(b, v >> 16);
      u16(b, v & 0xFFFF);
    }
  };
  Bytes tiff = little ? Bytes{'I', 'I'} : Bytes{'M', 'M'};
  u16(tiff, 42);
  u32(tiff, 8);
  if (alone) {
    u16(tiff, 1);
  } else {
    u16(tiff, 2);  // two entries: one before the orientation
    u16(tiff, 0x010F);
    u16(tiff, 2);
    u32(tiff, 4);
    u32(tiff, 0);
  }
  u16(tiff, 274);
  u16(tiff, type);
  u32(tiff, 1);
  u16(tiff, static_cast<unsigned>(orientation));
  u16(tiff, 0);
  u32(tiff, 0);
  Bytes jpeg = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x04, 0x00, 0x00, 0xFF, 0xE1};
  const std::size_t length = 2 + 6 + tiff.size();
  jpeg.push_back(static_cast<std::uint8_t>(length >> 8));
  jpeg.push_back(static_cast<std::uint8_t>(length));
  jpeg.insert(jpeg.end(), {'E', 'x', 'i', 'f', 0, 0});
  jpeg.insert(jpeg.end(), tiff.begin(), tiff.end());
  jpeg.insert(jpeg.end(), {0xFF, 0xC0, 0x00, 0x0B, 0x08, 0x00, 0x02, 0x00, 0x03});
  return jpeg;
}

TEST(PeekOrientation, ReadsTheExifTagInBothByteOrders) {
  for (bool little : {true, false}) {
    for (int o = 1; o <= 8; ++o) EXPECT_EQ(PeekOrientation(ExifJpeg(o, little)), o) << o << " " << little;
    EXPECT_EQ(PeekOrientation(ExifJpeg(9, little)), std::nullopt);
    EXPECT_EQ(PeekOrientation(ExifJpeg(6, little, 4)), std::nullopt);  // not a SHORT
    EXPECT_EQ(PeekOrientation(ExifJpeg(6, little, 3, /*alone=*/true)), 6);
    // The size is still found behind the Exif segment.
    EXPECT_EQ(PeekPictureSize(ExifJpeg(6, little)), (PixelSize{3, 2}));
  }
  for (bool little : {true, false}) {
    // A TIFF file carries the tag in its own first directory, which may end
    // the data.
    const Bytes exif = ExifJpeg(8, little, 3, /*alone=*/true);
    const auto tiff = std::span(exif).subspan(18, 8 + 2 + 12);
    EXPECT_EQ(PeekOrientation(tiff), 8) << little;
    // A directory said to lie beyond the data is none.
    Bytes far = exif;
    std::fill_n(far.begin() + 22, 4, 0xFF);
    EXPECT_EQ(PeekOrientation(far), std::nullopt) << little;
    // Only the entries the directory counts are read.
    Bytes counted = ExifJpeg(8, little);
    counted[little ? 26 : 27] = 1;
    EXPECT_EQ(PeekOrientation(counted), std::nullopt) << little;
    // An APP1 segment that is not Exif (XMP) is stepped over.
    Bytes xmp = ExifJpeg(8, little);
    xmp.insert(xmp.begin() + 8, {0xFF, 0xE1, 0x00, 0x07, 'h', 't', 't', 'p', 0});
    EXPECT_EQ(PeekOrientation(xmp), 8) << little;
    // The first Exif segment is the picture's; a second one changes nothing.
    Bytes twice = ExifJpeg(6, little);
    const Bytes other = ExifJpeg(8, little);
    twice.insert(twice.end() - 9, other.begin() + 8, other.end() - 9);
    EXPECT_EQ(PeekOrientation(twice), 6) << little;
    // Exif belongs before the frame header: one after it is not the picture's.
    Bytes late = {0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x0B, 0x08, 0x00, 0x02, 0x00, 0x03, 0x01, 0x01, 0x11, 0x00};
    late.insert(late.end(), exif.begin() + 8, exif.end() - 9);
    EXPECT_EQ(PeekOrientation(late), std::nullopt) << little;
  }
  const Bytes exif = ExifJpeg(8, false);
  // A byte order that is neither "II" nor "MM" is no TIFF structure.
  for (const auto& [order, little] :
       {std::pair{"XI", true}, std::pair{"IX", true}, std::pair{"XM", false}, std::pair{"MX", false}}) {
    Bytes odd = ExifJpeg(8, little);
    odd[18] = static_cast<std::uint8_t>(order[0]);
    odd[19] = static_cast<std::uint8_t>(order[1]);
    EXPECT_EQ(PeekOrientation(odd), std::nullopt) << order;
  }
  // Cut off in the middle of the directory, or no Exif at all.
  EXPECT_EQ(PeekOrientation(std::span(exif).first(40)), std::nullopt);
  EXPECT_EQ(PeekOrientation(Bytes{0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x0B, 0x08, 0x00, 0x02, 0x00, 0x03}), std::nullopt);
}

}  // namespace
}  // namespace salvanto
