#pragma once
// The pixel size a picture file declares in its header, read before any
// decoder sees the file: some decoders allocate and decode the whole
// picture as soon as they are created, so a file that claims absurd
// dimensions must be refused first.
#include <cstdint>
#include <optional>
#include <span>

#include "pictures/resample.h"

namespace salvanto {

// The size declared by a JPEG, PNG, GIF or Windows bitmap header found at
// the start of head; nothing for other formats, for a header that lies
// beyond head, or for a size the header leaves open (a JPEG of height 0).
std::optional<PixelSize> PeekPictureSize(std::span<const std::uint8_t> head);

// The EXIF orientation (1 to 8) that a JPEG's Exif segment or a TIFF's
// first directory found in head declares; nothing when there is none.
// Decoders that offer the tag through their own metadata are asked first;
// this reads it for those that do not.
std::optional<int> PeekOrientation(std::span<const std::uint8_t> head);

// What a file's first bytes tell before a decoder sees it: whether it may
// be decoded (it declares no size, or a sane one) and its orientation.
struct PictureHead {
  bool acceptable = true;
  std::optional<int> orientation;
};
PictureHead ReadPictureHead(std::span<const std::uint8_t> head);

// How many leading bytes of a file PeekPictureSize is given.
inline constexpr std::size_t kPictureHeadBytes = std::size_t{256} * 1024;

}  // namespace salvanto
