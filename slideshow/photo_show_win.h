#pragma once
// What each tick of Timer1 does: the next photo into Image1, its caption
// into panYear. The rules are PhotoCycle's; this wires them to the file
// system, the picture loader and the two controls.
#include "base/platform.h"
#include "controls/image_win.h"
#include "controls/panel3d_win.h"
#include "pictures/listing_win.h"
#include "slideshow/photo_cycle.h"

namespace salvanto::win {

class PhotoShow {
public:
  PhotoShow(Platform& platform, const SharedState& state, ImageControl& image1, Panel3D& panYear);
  void Tick() { cycle_.Tick(); }
  std::int16_t PassCount() const { return cycle_.PassCount(); }

private:
  // Decoded and scaled to Image1's size in device pixels, then handed over.
  class Image1Loader final : public PictureLoader {
  public:
    explicit Image1Loader(ImageControl& image) : image_(image) {}
    void Show(const std::wstring& path) override;

  private:
    ImageControl& image_;
  };

  class YearCaption final : public CaptionStrip {
  public:
    explicit YearCaption(Panel3D& panel) : panel_(panel) {}
    void SetCaption(const std::wstring& caption) override { panel_.SetCaption(caption); }

  private:
    Panel3D& panel_;
  };

  Win32Listing listing_;
  Image1Loader loader_;
  YearCaption caption_;
  PhotoCycle cycle_;
};

}  // namespace salvanto::win
