// The band-by-band scaler over any sizes (1 x 1, extreme ratios both ways),
// either source pixel size and any band heights: it writes exactly the
// target, finishes when the source is complete, and a flat source stays flat.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "pictures/resample.h"

namespace {

struct Reader {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t pos = 0;
  std::uint32_t Take(std::uint32_t bound) {
    std::uint32_t value = 0;
    for (int i = 0; i < 2 && pos < size; ++i) value = value << 8 | data[pos++];
    return value % bound;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Reader in{data, size};
  // Keep one picture small enough for thousands of runs a second, but let
  // either axis alone go long so that extreme ratios come up.
  const bool longAxis = in.Take(2) == 1;
  salvanto::PixelSize source{1 + in.Take(longAxis ? 4000 : 64), 1 + in.Take(64)};
  salvanto::PixelSize target{1 + in.Take(300), 1 + in.Take(longAxis ? 3 : 300)};
  if (in.Take(2)) std::swap(source.width, source.height);
  const std::uint32_t bpp = in.Take(2) ? 4 : 3;
  const bool flat = in.Take(4) == 0;
  const std::uint8_t flatValue = static_cast<std::uint8_t>(in.Take(256));

  const std::size_t stride = std::size_t{source.width} * bpp + in.Take(8);
  std::vector<std::uint8_t> band;
  const std::size_t targetStride = std::size_t{target.width} * 4 + 4;
  // One guard row past the end catches a write beyond the target.
  std::vector<std::uint8_t> out(targetStride * (target.height + 1), 0xA5);
  salvanto::Resampler resampler(source, bpp, target, out.data(), targetStride);

  std::uint32_t rows = 0;
  while (rows < source.height) {
    const std::uint32_t count = 1 + in.Take(16);
    band.assign(stride * count, flatValue);
    if (!flat) {
      for (std::size_t i = 0; i < band.size(); ++i) band[i] = data[(i + rows) % (size ? size : 1)];
    }
    resampler.AddRows(band.data(), stride, count);
    rows += count;
  }
  if (!resampler.Done()) __builtin_trap();
  for (std::size_t i = targetStride * target.height; i < out.size(); ++i) {
    if (out[i] != 0xA5) __builtin_trap();
  }
  if (flat) {
    for (std::uint32_t y = 0; y < target.height; ++y) {
      for (std::uint32_t x = 0; x < target.width; ++x) {
        const std::uint8_t* px = out.data() + y * targetStride + x * 4;
        if (px[0] != flatValue || px[1] != flatValue || px[2] != flatValue) __builtin_trap();
      }
    }
  }
  return 0;
}
