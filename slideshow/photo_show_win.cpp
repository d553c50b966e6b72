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

class Win32PhotoFiles final : public PhotoFiles {
public:
  std::optional<FileStamp> Stamp(const std::wstring& path) override {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    const BOOL found = [&] {
      // An empty removable drive is reported by the tick, not by the system.
      const no_critical_error_boxes quiet;
      return GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    }();
    if (!found || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
    return FileStamp{
        .size = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow,
        .lastWrite = (std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime};
  }
  std::unique_ptr<LoadedPicture> Load(const std::wstring& path, FrameSize frame) override {
    unique_hbitmap picture = LoadPictureFile(path, {frame.width, frame.height});
    if (!picture) throw PhotoFailure("not a picture that can be shown");
    return std::make_unique<Bitmap>(std::move(picture));
  }
};

}  // namespace

// Only the worker uses the listing and the files, one job at a time; the
// listing keeps its search open from tick to tick. The slot and the window
// are shared with the user-interface thread, under the lock.
struct PhotoShow::Files {
  Win32FileFinder finder;
  DirectoryListing listing{finder};
  Win32PhotoFiles photos;
  Win32Text text;
  TickFiles ticks{listing, photos, text};
  SRWLOCK lock = SRWLOCK_INIT;
  std::optional<TickResult> slot;
  HWND window = nullptr;  // null once the show is gone

  void Deliver(TickResult done) {
    HWND to = nullptr;
    {
      const exclusive_lock hold(lock);
      slot = std::move(done);
      to = window;
    }
    if (to) PostMessageW(to, kPhotoLoaded, 0, 0);
  }
};

PhotoShow::PhotoShow(Platform& platform, const ShowSettings& settings, ImageControl& image1, Panel3D& panYear,
                     HWND window)
    : files_(std::make_shared<Files>()),
      frame_(image1),
      caption_(panYear),
      ticks_(settings.PhotoDir, *this, frame_, caption_, platform.text, platform.boxes) {
  files_->window = window;
  ticks_.Start();
}

PhotoShow::~PhotoShow() {
  const exclusive_lock hold(files_->lock);
  files_->window = nullptr;
}

void PhotoShow::Tick() {
  if (!TakeResult()) ticks_.Tick();
}

void PhotoShow::Complete() { TakeResult(); }

bool PhotoShow::TakeResult() {
  std::optional<TickResult> result;
  {
    const exclusive_lock hold(files_->lock);
    result.swap(files_->slot);
  }
  if (!result) return false;
  ticks_.Complete(std::move(*result));
  return true;
}

void PhotoShow::Prepare(TickWork work) {
  worker_.Run([files = files_, work = std::move(work)] {
    try {
      files->ticks.Prepare(work);
    } catch (...) {
      // Out of memory on the way: the tick tries again.
    }
  });
}

void PhotoShow::Run(TickWork work) {
  worker_.Run([files = files_, work = std::move(work)] {
    TickResult result;
    try {
      result = files->ticks.Tick(work);
    } catch (...) {
      // Out of memory on the way: the tick still ends, in the failure box.
    }
    files->Deliver(std::move(result));
  });
}

void PhotoShow::Image1Frame::Show(std::unique_ptr<LoadedPicture> picture) {
  image_.SetPicture(std::move(static_cast<Bitmap&>(*picture).bitmap));
}

FrameSize PhotoShow::Image1Frame::Size() const {
  // Never "own size" (0 x 0): a photo is always scaled to the frame.
  const SIZE size = image_.ClientSize();
  return {std::max(size.cx, LONG{1}), std::max(size.cy, LONG{1})};
}

}  // namespace salvanto::win
