#include "pictures/picture_header.h"

#include <algorithm>
#include <cstring>

namespace salvanto {
namespace {

std::uint32_t Be16(const std::uint8_t* p) { return std::uint32_t{p[0]} << 8 | p[1]; }
std::uint32_t Be32(const std::uint8_t* p) { return Be16(p) << 16 | Be16(p + 2); }
std::uint32_t Le16(const std::uint8_t* p) { return std::uint32_t{p[1]} << 8 | p[0]; }
std::uint32_t Le32(const std::uint8_t* p) { return Le16(p + 2) << 16 | Le16(p); }

bool StartsWith(std::span<const std::uint8_t> head, const char* magic, std::size_t length) {
  return head.size() >= length && std::memcmp(head.data(), magic, length) == 0;
}

// Start-of-frame markers: every SOFn except DHT (C4), JPG (C8) and DAC (CC).
bool IsStartOfFrame(std::uint8_t marker) {
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Walks the marker segments of a JPEG up to its first scan; visit(marker,
// segment) sees each segment's bytes after its length and returns true to
// stop. Segments that run past head are cut short.
template <typename Visit>
void WalkJpeg(std::span<const std::uint8_t> head, Visit&& visit) {
  std::size_t at = 2;
  while (at + 4 <= head.size()) {
    if (head[at] != 0xFF) return;
    const std::uint8_t marker = head[at + 1];
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {  // no length
      at += 2;
      continue;
    }
    if (marker == 0xD9 || marker == 0xDA) return;  // end, or the scan data
    const std::uint32_t length = Be16(&head[at + 2]);
    if (length < 2) return;
    const std::size_t end = std::min(head.size(), at + 2 + length);
    if (visit(marker, head.subspan(at + 4, end - (at + 4)))) return;
    at += 2 + length;
  }
}

std::optional<PixelSize> PeekJpeg(std::span<const std::uint8_t> head) {
  std::optional<PixelSize> size;
  WalkJpeg(head, [&](std::uint8_t marker, std::span<const std::uint8_t> segment) {
    if (!IsStartOfFrame(marker)) return false;
    if (segment.size() >= 5 && Be16(&segment[1]) != 0) size = PixelSize{Be16(&segment[3]), Be16(&segment[1])};
    return true;  // a height of 0 is given later in the stream: unknown
  });
  return size;
}

// The orientation tag (274) of the first directory of a TIFF structure.
std::optional<int> TiffOrientation(std::span<const std::uint8_t> tiff) {
  if (tiff.size() < 8) return std::nullopt;
  const bool little = tiff[0] == 'I' && tiff[1] == 'I';
  if (!little && !(tiff[0] == 'M' && tiff[1] == 'M')) return std::nullopt;
  const auto u16 = [&](std::size_t at) { return little ? Le16(&tiff[at]) : Be16(&tiff[at]); };
  const auto u32 = [&](std::size_t at) { return little ? Le32(&tiff[at]) : Be32(&tiff[at]); };
  if (u16(2) != 42) return std::nullopt;
  // The directory: a count, then entries of 12 bytes. One without room for
  // a whole entry holds no tag.
  const std::size_t ifd = u32(4);
  if (ifd < 8 || ifd + 2 + 12 > tiff.size()) return std::nullopt;
  const std::size_t count = u16(ifd);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t entry = ifd + 2 + 12 * i;
    if (entry + 12 > tiff.size()) break;
    if (u16(entry) != 274) continue;
    if (u16(entry + 2) != 3 || u32(entry + 4) != 1) return std::nullopt;  // one SHORT
    const int value = static_cast<int>(u16(entry + 8));
    if (value >= 1 && value <= 8) return value;
    return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace

std::optional<PixelSize> PeekPictureSize(std::span<const std::uint8_t> head) {
  if (StartsWith(head, "\xFF\xD8\xFF", 3)) return PeekJpeg(head);
  if (StartsWith(head, "\x89PNG\r\n\x1A\n", 8)) {
    if (head.size() < 24 || std::memcmp(&head[12], "IHDR", 4) != 0) return std::nullopt;
    return PixelSize{Be32(&head[16]), Be32(&head[20])};
  }
  if (StartsWith(head, "GIF87a", 6) || StartsWith(head, "GIF89a", 6)) {
    if (head.size() < 10) return std::nullopt;
    return PixelSize{Le16(&head[6]), Le16(&head[8])};
  }
  if (StartsWith(head, "BM", 2)) {
    if (head.size() < 26) return std::nullopt;
    const std::uint32_t infoSize = Le32(&head[14]);
    if (infoSize == 12) return PixelSize{Le16(&head[18]), Le16(&head[20])};
    // Signed in the header; a negative height means rows stored top-down.
    const auto width = static_cast<std::int32_t>(Le32(&head[18]));
    const auto height = static_cast<std::int32_t>(Le32(&head[22]));
    const auto magnitude = [](std::int32_t v) {
      return v < 0 ? std::uint32_t{0} - static_cast<std::uint32_t>(v) : static_cast<std::uint32_t>(v);
    };
    return PixelSize{magnitude(width), magnitude(height)};
  }
  return std::nullopt;
}

std::optional<int> PeekOrientation(std::span<const std::uint8_t> head) {
  if (StartsWith(head, "II*\0", 4) || StartsWith(head, "MM\0*", 4)) return TiffOrientation(head);
  if (!StartsWith(head, "\xFF\xD8\xFF", 3)) return std::nullopt;
  std::optional<int> orientation;
  WalkJpeg(head, [&](std::uint8_t marker, std::span<const std::uint8_t> segment) {
    if (IsStartOfFrame(marker)) return true;
    if (marker != 0xE1 || !StartsWith(segment, "Exif\0\0", 6)) return false;
    orientation = TiffOrientation(segment.subspan(6));
    return true;
  });
  return orientation;
}

PictureHead ReadPictureHead(std::span<const std::uint8_t> head) {
  const auto declared = PeekPictureSize(head);
  return {!declared || IsSanePictureSize(*declared), PeekOrientation(head)};
}

}  // namespace salvanto
