#include "pictures/resample.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace salvanto {

PixelSize TargetSize(std::int32_t wantedWidth, std::int32_t wantedHeight, PixelSize upright) {
  if (wantedWidth <= 0 || wantedHeight <= 0) return upright;
  return {static_cast<std::uint32_t>(wantedWidth), static_cast<std::uint32_t>(wantedHeight)};
}

bool TakesDecoderScale(PixelSize offered, PixelSize target, PixelSize stored) {
  return offered.width >= target.width && offered.height >= target.height && offered.width <= stored.width &&
         offered.height <= stored.height && !(offered == stored);
}

std::uint32_t BandRows(std::size_t bandBytes, std::size_t stride, std::uint32_t height) {
  const std::size_t rows = std::max<std::size_t>(bandBytes / std::max<std::size_t>(stride, 1), 1);
  return static_cast<std::uint32_t>(std::min<std::size_t>(rows, height));
}

bool IsSanePictureSize(PixelSize size, std::uint32_t bytesPerPixel) {
  if (size.width == 0 || size.height == 0 || bytesPerPixel == 0) return false;
  const std::uint64_t pixels = std::uint64_t{size.width} * size.height;
  if (pixels > kMaxPicturePixels) return false;
  // Row sizes are passed to the decoder as 32-bit values.
  return std::uint64_t{size.width} * bytesPerPixel <= std::numeric_limits<std::uint32_t>::max() / 2;
}

namespace {

constexpr std::uint32_t kOne = AxisTaps::kWeightOne;

}  // namespace

AxisTaps MakeTaps(std::uint32_t source, std::uint32_t target) {
  if (source == 0 || target == 0) throw std::invalid_argument("empty axis");
  AxisTaps taps;
  taps.first.resize(target);
  taps.offset.resize(std::size_t{target} + 1);
  const std::uint64_t s = source, t = target;
  for (std::uint32_t i = 0; i < target; ++i) {
    taps.offset[i] = static_cast<std::uint32_t>(taps.weights.size());
    if (target < source) {
      // Target pixel i covers source positions [i*s/t, (i+1)*s/t); in units
      // of 1/t that is [lo, hi) = [i*s, (i+1)*s), and source pixel j is
      // [j*t, (j+1)*t). Each weight is the difference of the rounded
      // coverage at its two edges, so the weights always sum to exactly
      // kOne, whatever the ratio, and a flat area stays exactly flat.
      const std::uint64_t lo = i * s, hi = (i + 1) * s;
      const std::uint64_t j0 = lo / t, j1 = (hi + t - 1) / t;  // [j0, j1)
      const auto covered = [&](std::uint64_t edge) {
        edge = std::clamp(edge, lo, hi);
        return ((edge - lo) * kOne + s / 2) / s;
      };
      taps.first[i] = static_cast<std::uint32_t>(j0);
      for (std::uint64_t j = j0; j < j1; ++j) {
        taps.weights.push_back(static_cast<std::uint16_t>(covered((j + 1) * t) - covered(j * t)));
      }
    } else {
      // The centre of target pixel i lies at source position
      // (i + 0.5) * s / t - 0.5, that is (2i+1)s - t in units of 1/(2t).
      // Beyond the outer centres the edge pixel is repeated.
      const std::int64_t pos = static_cast<std::int64_t>((2 * i + 1) * s) - static_cast<std::int64_t>(t);
      const std::int64_t den = static_cast<std::int64_t>(2 * t);
      std::uint32_t j0 = 0;
      std::uint32_t frac = 0;  // of kOne
      if (pos > 0) {
        j0 = static_cast<std::uint32_t>(pos / den);
        frac = static_cast<std::uint32_t>(((pos % den) * kOne + den / 2) / den);
      }
      if (j0 >= source - 1) {
        j0 = source - 1;
        frac = 0;
      }
      if (frac >= kOne) {
        ++j0;
        frac = 0;
      }
      taps.first[i] = j0;
      taps.weights.push_back(static_cast<std::uint16_t>(kOne - frac));
      if (frac != 0) taps.weights.push_back(static_cast<std::uint16_t>(frac));
    }
  }
  taps.offset[target] = static_cast<std::uint32_t>(taps.weights.size());
  return taps;
}

Resampler::Resampler(PixelSize source, std::uint32_t sourceBytesPerPixel, PixelSize target, std::uint8_t* targetPixels,
                     std::size_t targetStride)
    : source_(source),
      target_(target),
      bpp_(sourceBytesPerPixel),
      pixels_(targetPixels),
      stride_(targetStride),
      across_(MakeTaps(source.width, target.width)),
      down_(MakeTaps(source.height, target.height)),
      shrinking_(target.height < source.height),
      rows_(std::size_t{2} * target.width * 3),
      sums_(shrinking_ ? std::size_t{2} * target.width * 3 : 0) {
  if (bpp_ != 3 && bpp_ != 4) throw std::invalid_argument("3 or 4 bytes per source pixel");
  if (!pixels_ || stride_ < std::size_t{target.width} * 4) throw std::invalid_argument("target too small");
}

template <std::uint32_t Bpp>
void Resampler::ScaleRow(const std::uint8_t* row, std::uint16_t* out) const {
  const std::uint32_t* first = across_.first.data();
  const std::uint32_t* offset = across_.offset.data();
  const std::uint16_t* weights = across_.weights.data();
  for (std::uint32_t x = 0; x < target_.width; ++x) {
    const std::uint8_t* p = row + std::size_t{first[x]} * Bpp;
    const std::uint16_t* w = weights + offset[x];
    const std::uint16_t* end = weights + offset[x + 1];
    std::uint32_t b = 0, g = 0, r = 0;
    for (; w != end; ++w, p += Bpp) {
      b += p[0] * std::uint32_t{*w};
      g += p[1] * std::uint32_t{*w};
      r += p[2] * std::uint32_t{*w};
    }
    // At most 255 * 2^14; kept with 8 fraction bits in 16.
    out[0] = static_cast<std::uint16_t>((b + 32) >> 6);
    out[1] = static_cast<std::uint16_t>((g + 32) >> 6);
    out[2] = static_cast<std::uint16_t>((r + 32) >> 6);
    out += 3;
  }
}

namespace {

// 8 + 14 fraction bits to a byte, rounded; the weights sum to one, so the
// result never exceeds 255.
inline std::uint8_t ToByte(std::uint32_t sum) { return static_cast<std::uint8_t>((sum + (1u << 21)) >> 22); }

}  // namespace

void Resampler::Shrink(std::uint32_t y) {
  // A source row reaches at most two target rows: the one being built and
  // the next.
  const std::size_t width3 = std::size_t{target_.width} * 3;
  const std::uint16_t* in = Row(0);
  for (std::uint32_t row = rowsWritten_; row < target_.height && row <= rowsWritten_ + 1; ++row) {
    if (down_.first[row] > y || down_.Last(row) < y) continue;
    const std::uint32_t w = down_.weights[down_.offset[row] + (y - down_.first[row])];
    std::uint32_t* sum = Sum(row);
    for (std::size_t i = 0; i < width3; ++i) sum[i] += in[i] * w;
  }
  while (rowsWritten_ < target_.height && down_.Last(rowsWritten_) <= y) {
    std::uint32_t* sum = Sum(rowsWritten_);
    std::uint8_t* out = pixels_ + stride_ * rowsWritten_;
    for (std::uint32_t x = 0; x < target_.width; ++x, out += 4) {
      const std::size_t at = std::size_t{3} * x;
      out[0] = ToByte(sum[at]);
      out[1] = ToByte(sum[at + 1]);
      out[2] = ToByte(sum[at + 2]);
      out[3] = 0;
    }
    std::fill(sum, sum + width3, 0u);
    ++rowsWritten_;
  }
}

void Resampler::Enlarge(std::uint32_t y) {
  // Each target row mixes at most two neighbouring source rows, kept by
  // parity.
  while (rowsWritten_ < target_.height && down_.Last(rowsWritten_) <= y) {
    const std::uint32_t row = rowsWritten_++;
    const std::uint32_t first = down_.first[row];
    const std::uint16_t* a = Row(first % 2);
    const std::uint32_t wa = down_.weights[down_.offset[row]];
    const std::uint16_t* b = down_.Count(row) > 1 ? Row((first + 1) % 2) : a;
    const std::uint32_t wb = AxisTaps::kWeightOne - wa;
    std::uint8_t* out = pixels_ + stride_ * row;
    for (std::uint32_t x = 0; x < target_.width; ++x, a += 3, b += 3, out += 4) {
      out[0] = ToByte(a[0] * wa + b[0] * wb);
      out[1] = ToByte(a[1] * wa + b[1] * wb);
      out[2] = ToByte(a[2] * wa + b[2] * wb);
      out[3] = 0;
    }
  }
}

void Resampler::AddRows(const std::uint8_t* rows, std::size_t stride, std::uint32_t count) {
  for (std::uint32_t i = 0; i < count && rowsAdded_ < source_.height; ++i) {
    const std::uint32_t y = rowsAdded_++;
    std::uint16_t* slot = Row(shrinking_ ? 0 : y % 2);
    if (bpp_ == 3) {
      ScaleRow<3>(rows + stride * i, slot);
    } else {
      ScaleRow<4>(rows + stride * i, slot);
    }
    if (shrinking_) {
      Shrink(y);
    } else {
      Enlarge(y);
    }
  }
}

bool IsOrientation(int tag) { return tag >= 1 && tag <= 8; }

bool SwapsAxes(int orientation) { return orientation >= 5 && orientation <= 8; }

PixelSize StoredSize(PixelSize upright, int orientation) {
  return SwapsAxes(orientation) ? PixelSize{upright.height, upright.width} : upright;
}

void Reorient(std::span<const std::uint8_t> stored, PixelSize storedSize, int orientation, std::uint8_t* target,
              std::size_t targetStride) {
  const std::uint32_t sw = storedSize.width, sh = storedSize.height;
  if (stored.size() < std::size_t{sw} * sh * 4) throw std::invalid_argument("stored picture too small");
  const PixelSize upright = StoredSize(storedSize, orientation);
  for (std::uint32_t dy = 0; dy < upright.height; ++dy) {
    std::uint8_t* out = target + targetStride * dy;
    for (std::uint32_t dx = 0; dx < upright.width; ++dx, out += 4) {
      std::uint32_t sx = dx, sy = dy;
      switch (orientation) {
        case 2:
          sx = sw - 1 - dx;
          break;
        case 3:
          sx = sw - 1 - dx;
          sy = sh - 1 - dy;
          break;
        case 4:
          sy = sh - 1 - dy;
          break;
        case 5:
          sx = dy;
          sy = dx;
          break;
        case 6:
          sx = dy;
          sy = sh - 1 - dx;
          break;
        case 7:
          sx = sw - 1 - dy;
          sy = sh - 1 - dx;
          break;
        case 8:
          sx = sw - 1 - dy;
          sy = dx;
          break;
        default:  // 1, and any value outside 1 to 8: as stored
          break;
      }
      std::memcpy(out, stored.data() + (std::size_t{sy} * sw + sx) * 4, 4);
    }
  }
}

bool FeedBands(Resampler& resampler, PixelSize source, std::uint32_t bytesPerPixel, std::size_t bandBytes,
               const CopyRows& copy) {
  const std::size_t stride = std::size_t{source.width} * bytesPerPixel;
  const std::uint32_t bandRows = BandRows(bandBytes, stride, source.height);
  std::vector<std::uint8_t> band(stride * bandRows);
  for (std::uint32_t y = 0; y < source.height; y += bandRows) {
    const std::uint32_t rows = std::min(bandRows, source.height - y);
    if (!copy(y, rows, stride, band.data())) return false;
    resampler.AddRows(band.data(), stride, rows);
  }
  return resampler.Done();
}

bool ScaleUpright(PixelSize target, int orientation, std::uint8_t* pixels, std::size_t stride,
                  const ScaleStored& scale) {
  if (!IsOrientation(orientation) || orientation == 1) return scale(target, pixels, stride);
  const PixelSize turned = StoredSize(target, orientation);
  std::vector<std::uint8_t> scaled(std::size_t{turned.width} * turned.height * 4);
  if (!scale(turned, scaled.data(), std::size_t{turned.width} * 4)) return false;
  Reorient(scaled, turned, orientation, pixels, stride);
  return true;
}

}  // namespace salvanto
