#pragma once
// What each tick of Timer1 does: the next photo into Image1, its caption
// into panYear. The rules are PhotoTicks'; this wires them to the file
// system, the picture loader and the two controls. The listing and the
// load run on a worker thread, so that the window answers input, paints
// and ticks while a photo loads, however big or slow; the result comes back
// to the window as a message, and the window hands it to Complete.
#include <windows.h>

#include <memory>

#include "base/platform.h"
#include "controls/image_win.h"
#include "controls/panel3d_win.h"
#include "framework/worker.h"
#include "slideshow/photo_cycle.h"

namespace salvanto::win {

class PhotoShow {
public:
  // Posted to the window when a tick's work is done.
  static constexpr UINT kPhotoLoaded = WM_APP + 1;

  // window: where kPhotoLoaded goes.
  PhotoShow(Platform& platform, const SharedState& state, ImageControl& image1, Panel3D& panYear, HWND window);
  // Returns at once, even while a load is still running or stuck.
  ~PhotoShow();
  PhotoShow(const PhotoShow&) = delete;
  PhotoShow& operator=(const PhotoShow&) = delete;

  // Timer1: sends the tick's work to the worker, unless it is skipped.
  void Tick();
  // kPhotoLoaded: the photo and caption, or the failure box.
  void Complete();

  std::int16_t PassCount() const { return ticks_.PassCount(); }
  // From a tick until its photo is up or its failure box closed.
  bool Busy() const { return ticks_.Busy(); }

private:
  // What the worker's side uses, shared with it: it may outlive the show.
  struct Files;

  class Image1Frame final : public PhotoFrame {
  public:
    explicit Image1Frame(ImageControl& image) : image_(image) {}
    void Show(std::unique_ptr<LoadedPicture> picture) override;

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

  ImageControl& image_;
  std::shared_ptr<Files> files_;
  WorkerThread worker_;
  Image1Frame frame_;
  YearCaption caption_;
  PhotoTicks ticks_;
};

}  // namespace salvanto::win
