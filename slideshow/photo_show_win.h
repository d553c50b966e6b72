#pragma once
// What each tick of Timer1 does: the next photo into Image1, its caption
// into panYear. The rules are PhotoTicks' and TickFiles'; this wires them
// to the file system, the picture loader and the two controls. The file
// side runs on a worker thread, so that the window answers input, paints
// and ticks while a photo loads, however big or slow. Each tick's result
// comes back through one slot: the window is told by a message, and the
// next tick looks at the slot too, so that a message lost on the way
// cannot hold the show up.
#include <windows.h>

#include <memory>

#include "base/platform.h"
#include "controls/image_win.h"
#include "controls/panel3d_win.h"
#include "framework/worker.h"
#include "slideshow/photo_cycle.h"
#include "slideshow/show_settings.h"

namespace salvanto::win {

class PhotoShow final : private TickWorker {
public:
  // Posted to the window when a tick's result is in the slot.
  static constexpr UINT kPhotoLoaded = WM_APP + 1;

  // window: where kPhotoLoaded goes. settings.PhotoDir must be read
  // already: the first tick's photo is prepared at once.
  PhotoShow(Platform& platform, const ShowSettings& settings, ImageControl& image1, Panel3D& panYear, HWND window);
  // Returns at once, even while a load is still running or stuck.
  ~PhotoShow() override;
  PhotoShow(const PhotoShow&) = delete;
  PhotoShow& operator=(const PhotoShow&) = delete;

  // Timer1: a result still in the slot is taken first (and this tick is
  // skipped); otherwise the tick's work goes to the worker, unless a tick
  // is still out.
  void Tick();
  // kPhotoLoaded: the photo and caption, or the failure box.
  void Complete();
  // Image1 has a new size.
  void FrameChanged() { ticks_.FrameChanged(); }
  // The display went off (true) or came back.
  void Rest(bool resting) { ticks_.Rest(resting); }

private:
  // What the worker's side uses, shared with it: it may outlive the show.
  struct Files;

  void Prepare(TickWork work) override;
  void Run(TickWork work) override;
  // Completes the result in the slot, if there is one.
  bool TakeResult();

  class Image1Frame final : public PhotoFrame {
  public:
    explicit Image1Frame(ImageControl& image) : image_(image) {}
    void Show(std::unique_ptr<LoadedPicture> picture) override;
    FrameSize Size() const override;

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

  std::shared_ptr<Files> files_;
  WorkerThread worker_;
  Image1Frame frame_;
  YearCaption caption_;
  PhotoTicks ticks_;
};

}  // namespace salvanto::win
