#pragma once
// The photo cycle: on every tick of Timer1 the next file of the photo
// directory goes into Image1 and its caption into panYear. The first file
// of each pass is shown on three ticks. Every failure of a tick ends in one
// message box, and the show goes on with the next tick.
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "base/platform.h"
#include "pictures/listing.h"

namespace salvanto {

// Loads the file at a path as a picture and makes it Image1's picture.
// Throws when the path names no file, the drive cannot be read or the file
// is not a picture that can be shown; Image1 then keeps its old picture.
class PictureLoader {
public:
  virtual ~PictureLoader() = default;
  virtual void Show(const std::wstring& path) = 0;
};

// panYear's caption.
class CaptionStrip {
public:
  virtual ~CaptionStrip() = default;
  virtual void SetCaption(const std::wstring& caption) = 0;
};

inline constexpr std::wstring_view kPhotoFailureText =
    L"Unable to find Salvanto photographs!\r\n\r\nMake sure that the Salvanto Anthology is in the CDROM drive.";
inline constexpr std::wstring_view kPhotoFailureTitle = L"The Salvanto Anthology Screen Saver";

class PhotoCycle {
public:
  PhotoCycle(const SharedState& state, DirectoryListing& listing, PictureLoader& loader, CaptionStrip& caption,
             const TextConventions& text, MessageBoxes& boxes)
      : state_(state), listing_(listing), loader_(loader), caption_(caption), text_(text), boxes_(boxes) {}

  // One tick of Timer1. Always returns normally. A tick that arrives while
  // another is still running (the failure box keeps dispatching timer
  // messages) is skipped, so an unattended failing show never stacks boxes.
  void Tick();

  // 0 to 2: the next tick starts the listing afresh and shows its first
  // file; 3: it continues the listing.
  std::int16_t PassCount() const { return PassCount_; }

private:
  void ShowNextPhoto();

  std::int16_t PassCount_ = 0;
  const SharedState& state_;
  DirectoryListing& listing_;
  PictureLoader& loader_;
  CaptionStrip& caption_;
  const TextConventions& text_;
  MessageBoxes& boxes_;
  bool inTick_ = false;
};

}  // namespace salvanto
