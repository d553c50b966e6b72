#include "slideshow/photo_show_win.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "framework/handles.h"
#include "framework/platform_win.h"
#include "pictures/listing_win.h"
#include "pictures/picture_win.h"

namespace salvanto::win {
namespace {

// A photo decoded and scaled to Image1's size, on its way to Image1.
struct Bitmap final : LoadedPicture {
  explicit Bitmap(unique_hbitmap b) : bitmap(std::move(b)) {}
  unique_hbitmap bitmap;
};

class ScaledLoader final : public PhotoLoader {
public:
  explicit ScaledLoader(SIZE frame) : frame_(frame) {}
  std::unique_ptr<LoadedPicture> Load(const std::wstring& path) override {
    unique_hbitmap picture = LoadPictureFile(path, frame_);
    if (!picture) throw PhotoFailure("not a picture that can be shown");
    return std::make_unique<Bitmap>(std::move(picture));
  }

private:
  SIZE frame_;
};

}  // namespace

// The listing keeps its search open from tick to tick, and only the worker
// calls it, one job at a time. The result and the window are shared with
// the user-interface thread, under the lock.
struct PhotoShow::Files {
  Win32Listing listing;
  Win32Text text;
  SRWLOCK lock = SRWLOCK_INIT;
  std::optional<TickResult> result;
  HWND window = nullptr;  // null once the show is gone

  void Deliver(TickResult done) {
    HWND to = nullptr;
    {
      const exclusive_lock hold(lock);
      result = std::move(done);
      to = window;
    }
    if (to) PostMessageW(to, kPhotoLoaded, 0, 0);
  }
};

PhotoShow::PhotoShow(Platform& platform, const SharedState& state, ImageControl& image1, Panel3D& panYear, HWND window)
    : image_(image1),
      files_(std::make_shared<Files>()),
      frame_(image1),
      caption_(panYear),
      ticks_(state, frame_, caption_, platform.text, platform.boxes) {
  files_->window = window;
}

PhotoShow::~PhotoShow() {
  const exclusive_lock hold(files_->lock);
  files_->window = nullptr;
}

void PhotoShow::Tick() {
  std::optional<TickWork> work = ticks_.Begin();
  if (!work) return;
  // Never "own size" (0 x 0): a photo is always scaled to the frame, at
  // the size the frame has when the tick comes.
  SIZE frame = image_.ClientSize();
  frame.cx = std::max(frame.cx, LONG{1});
  frame.cy = std::max(frame.cy, LONG{1});
  worker_.Run([files = files_, work = std::move(*work), frame] {
    TickResult result;
    result.ticket = work.ticket;
    try {
      ScaledLoader loader(frame);
      result = ListAndLoad(work, files->listing, loader, files->text);
    } catch (...) {
      // Out of memory on the way: the tick still ends, in the failure box.
    }
    files->Deliver(std::move(result));
  });
}

void PhotoShow::Complete() {
  std::optional<TickResult> result;
  {
    const exclusive_lock hold(files_->lock);
    result.swap(files_->result);
  }
  if (result) ticks_.Complete(std::move(*result));
}

void PhotoShow::Image1Frame::Show(std::unique_ptr<LoadedPicture> picture) {
  if (!picture) throw PhotoFailure("no picture was loaded");
  image_.SetPicture(std::move(static_cast<Bitmap&>(*picture).bitmap));
}

}  // namespace salvanto::win
