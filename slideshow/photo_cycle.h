#pragma once
// The photo cycle: on every tick of Timer1 the next file of the photo
// directory goes into Image1 and its caption into panYear. The first file
// of each pass is shown on three ticks. Every failure of a tick ends in one
// message box, and the show goes on with the next tick.
//
// A tick has two halves, so that its file work can leave the user-interface
// thread: PhotoTicks::Begin says what the tick asks for (a TickWork),
// ListAndLoad lists the folder and loads the photo wherever it runs, and
// PhotoTicks::Complete shows what came of it (a TickResult). PhotoCycle runs
// both halves in one go, on the thread that ticks.
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "base/platform.h"
#include "pictures/listing.h"

namespace salvanto {

// A photo loaded for Image1, on its way from the loader to the frame. What
// it holds is the platform's business.
class LoadedPicture {
public:
  virtual ~LoadedPicture() = default;
};

// Loads the file at a path as a photo for Image1, ready to be shown. It may
// run off the user-interface thread, so it touches no window. Throws when
// the path names no file, the drive cannot be read or the file is not a
// picture that can be shown.
class PhotoLoader {
public:
  virtual ~PhotoLoader() = default;
  virtual std::unique_ptr<LoadedPicture> Load(const std::wstring& path) = 0;
};

// Image1, on the user-interface thread: makes a loaded photo its picture.
class PhotoFrame {
public:
  virtual ~PhotoFrame() = default;
  virtual void Show(std::unique_ptr<LoadedPicture> picture) = 0;
};

// Loads the file at a path as a picture and makes it Image1's picture, in
// one go. Throws as PhotoLoader does; Image1 then keeps its old picture.
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

// What one tick asks of the file system.
struct TickWork {
  std::uint64_t ticket = 0;   // tells this tick's result from any other's
  std::wstring photoDir;      // SalvantosDir as read at load
  bool startListing = false;  // PassCount 0 to 2: a new listing and its first file
};

// What came of a TickWork.
struct TickResult {
  std::uint64_t ticket = 0;
  bool passEnded = false;  // the listing ran out, so PassCount went back to 0
  bool started = false;    // a listing began, which PassCount counts
  bool failed = true;      // the tick ends in the failure box
  std::wstring path;       // the photo's, once the listing gave a name
  std::unique_ptr<LoadedPicture> picture;
};

// The file half of a tick: the next name of the listing (a new listing when
// the work says so, or when the old one has run out) and its photo, loaded.
// Never throws: every failure is a failed result. Calls on one listing must
// come one at a time.
TickResult ListAndLoad(const TickWork& work, DirectoryListing& listing, PhotoLoader& loader,
                       const TextConventions& text);

// The rules of the tick on the user-interface thread. One tick's work is
// out at a time: a tick that arrives before the previous one is complete,
// its failure box included, is skipped.
class PhotoTicks {
public:
  PhotoTicks(const SharedState& state, PhotoFrame& frame, CaptionStrip& caption, const TextConventions& text,
             MessageBoxes& boxes)
      : state_(state), frame_(frame), caption_(caption), text_(text), boxes_(boxes) {}

  // One tick of Timer1: the work it asks for, or nothing when it is skipped.
  std::optional<TickWork> Begin();

  // The result of the work out: PassCount, then the photo and its caption,
  // or the failure box. A result of any other tick is dropped, so an old
  // one can never cover a later one.
  void Complete(TickResult result);

  // 0 to 2: the next tick starts the listing afresh and shows its first
  // file; 3: it continues the listing.
  std::int16_t PassCount() const { return PassCount_; }

  // From Begin until the tick is complete, its failure box closed.
  bool Busy() const { return phase_ != Phase::Idle; }

private:
  enum class Phase { Idle, Working, Reporting };

  std::int16_t PassCount_ = 0;
  const SharedState& state_;
  PhotoFrame& frame_;
  CaptionStrip& caption_;
  const TextConventions& text_;
  MessageBoxes& boxes_;
  Phase phase_ = Phase::Idle;
  std::uint64_t ticket_ = 0;
};

// The whole tick on the thread that ticks: the listing and the load run in
// place, and the loader shows each photo as it loads it.
class PhotoCycle {
public:
  PhotoCycle(const SharedState& state, DirectoryListing& listing, PictureLoader& loader, CaptionStrip& caption,
             const TextConventions& text, MessageBoxes& boxes)
      : listing_(listing), text_(text), inPlace_(loader), ticks_(state, inPlace_, caption, text, boxes) {}

  // One tick of Timer1. Always returns normally. A tick that arrives while
  // another is still running (the failure box keeps dispatching timer
  // messages) is skipped, so an unattended failing show never stacks boxes.
  void Tick();

  std::int16_t PassCount() const { return ticks_.PassCount(); }

private:
  // The photo is up as soon as it is loaded: nothing is left for the frame.
  class ShownInPlace final : public PhotoLoader, public PhotoFrame {
  public:
    explicit ShownInPlace(PictureLoader& loader) : loader_(loader) {}
    std::unique_ptr<LoadedPicture> Load(const std::wstring& path) override;
    void Show(std::unique_ptr<LoadedPicture> /*picture*/) override {}

  private:
    PictureLoader& loader_;
  };

  DirectoryListing& listing_;
  const TextConventions& text_;
  ShownInPlace inPlace_;
  PhotoTicks ticks_;
};

}  // namespace salvanto
