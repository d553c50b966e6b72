#pragma once
// Scaling a picture to the size it is shown at, fed band by band from the
// decoder so that the picture is never held at full size in our own memory.
// Shrinking averages the area each target pixel covers (so fine detail
// becomes its mean instead of aliasing); enlarging interpolates linearly.
// The choice is made per axis.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace salvanto {

struct PixelSize {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

// Pictures above this many pixels are refused before they are decoded.
inline constexpr std::uint64_t kMaxPicturePixels = 300'000'000;

// True when a picture of this size can be handled: not empty, within the
// pixel bound, and a row of it at bytesPerPixel is addressable.
bool IsSanePictureSize(PixelSize size, std::uint32_t bytesPerPixel = 4);

// The size a picture is scaled to: the one asked for, or its own upright
// size when none is asked (0 x 0).
PixelSize TargetSize(std::int32_t wantedWidth, std::int32_t wantedHeight, PixelSize upright);

// Whether to take a decoder's own scaling (a JPEG's DCT scaling) at the
// size it offers for target: at least the target both ways, and smaller
// than the stored picture, never larger.
bool TakesDecoderScale(PixelSize offered, PixelSize target, PixelSize stored);

// How many rows of stride bytes each band read from the decoder holds:
// about bandBytes, at least one row, at most the picture's height.
std::uint32_t BandRows(std::size_t bandBytes, std::size_t stride, std::uint32_t height);

// The weights by which one target pixel along an axis mixes consecutive
// source pixels. Weights are in units of 1/kWeightOne and sum to kWeightOne.
struct AxisTaps {
  static constexpr std::uint32_t kWeightOne = 1u << 14;
  std::vector<std::uint32_t> first;   // first source index, per target index
  std::vector<std::uint32_t> offset;  // into weights, per target index (+1 at the end)
  std::vector<std::uint16_t> weights;

  std::uint32_t Count(std::uint32_t target) const { return offset[target + 1] - offset[target]; }
  std::uint32_t Last(std::uint32_t target) const { return first[target] + Count(target) - 1; }
};

// Area weights when the target is smaller than the source, linear
// interpolation between pixel centres otherwise (which is the identity when
// the sizes are equal). Both sizes must be at least 1.
AxisTaps MakeTaps(std::uint32_t source, std::uint32_t target);

// Scales a source of 3 (B, G, R) or 4 (B, G, R, unused) bytes per pixel to a
// target of 4 bytes per pixel (B, G, R, 0) in memory the caller owns. Source
// rows arrive top to bottom in bands of any height; each target row is
// written as soon as the source rows it needs have arrived. Besides the
// weights, it holds three target-wide rows, whatever the sizes.
class Resampler {
public:
  Resampler(PixelSize source, std::uint32_t sourceBytesPerPixel, PixelSize target, std::uint8_t* targetPixels,
            std::size_t targetStride);

  // The next rows of the source, stride bytes apart. Rows beyond the
  // source's height are ignored.
  void AddRows(const std::uint8_t* rows, std::size_t stride, std::uint32_t count);

  // True once every target row has been written.
  bool Done() const { return rowsWritten_ == target_.height; }

private:
  template <std::uint32_t Bpp>
  void ScaleRow(const std::uint8_t* row, std::uint16_t* out) const;
  void Shrink(std::uint32_t y);
  void Enlarge(std::uint32_t y);
  std::uint16_t* Row(std::uint32_t slot) { return rows_.data() + std::size_t{slot} * target_.width * 3; }
  std::uint32_t* Sum(std::uint32_t targetRow) { return sums_.data() + std::size_t{targetRow % 2} * target_.width * 3; }

  PixelSize source_, target_;
  std::uint32_t bpp_;
  std::uint8_t* pixels_;
  std::size_t stride_;
  AxisTaps across_, down_;
  bool shrinking_;
  // Source rows scaled across, 8 fraction bits: the latest one when
  // shrinking, the latest two (by source row parity) when enlarging.
  std::vector<std::uint16_t> rows_;
  // Shrinking: the two target rows a source row can reach, 22 fraction bits.
  std::vector<std::uint32_t> sums_;
  std::uint32_t rowsAdded_ = 0, rowsWritten_ = 0;
};

// Feeds a source to the resampler band by band, each about bandBytes:
// copy(firstRow, rows, rowBytes, band) fills a band of whole rows. False
// when a band cannot be read or the target is not whole after the last.
using CopyRows =
    std::function<bool(std::uint32_t firstRow, std::uint32_t rows, std::size_t rowBytes, std::uint8_t* band)>;
bool FeedBands(Resampler& resampler, PixelSize source, std::uint32_t bytesPerPixel, std::size_t bandBytes,
               const CopyRows& copy);

// The EXIF orientation tag: how the stored pixels map to the upright
// picture. 1 is upright; 5 to 8 exchange width and height; any other
// number is no orientation.
bool IsOrientation(int tag);
bool SwapsAxes(int orientation);
PixelSize StoredSize(PixelSize upright, int orientation);

// Copies a stored picture (4 bytes per pixel, rows packed) into its upright
// form at target, rows targetStride bytes apart. An orientation outside 1
// to 8 is taken as 1.
void Reorient(std::span<const std::uint8_t> stored, PixelSize storedSize, int orientation, std::uint8_t* target,
              std::size_t targetStride);

// A picture stored turned by an orientation, scaled upright to target:
// scale(size, pixels, stride) scales it as stored, straight into target
// when it is upright, else at the target's size turned the same way into
// pixels of our own, which are then turned upright. False when scale is.
using ScaleStored = std::function<bool(PixelSize size, std::uint8_t* pixels, std::size_t stride)>;
bool ScaleUpright(PixelSize target, int orientation, std::uint8_t* pixels, std::size_t stride,
                  const ScaleStored& scale);

}  // namespace salvanto
