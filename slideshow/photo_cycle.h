#pragma once
// The photo cycle: on every tick of Timer1 the next file of the photo
// directory goes into Image1 and its caption into panYear. The first file
// of each pass is shown on three ticks. Every failure of a tick ends in one
// message box, and the show goes on with the next tick.
//
// A tick has two sides, so that its file work can leave the user-interface
// thread. TickFiles is the file side: the listing step, the check of the
// file and the load, on a worker thread. It takes each tick's listing step
// and loads its photo ahead of the tick, as soon as the previous tick is
// complete, so that the photo goes up the moment its tick comes. PhotoTicks
// is the side of the window: PassCount, Image1, the caption and the box.
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "base/platform.h"
#include "pictures/listing.h"

namespace salvanto {

// A photo that cannot be shown: the tick reports it like any other failure.
class PhotoFailure : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// Image1's size in pixels, which a loaded photo is scaled to.
struct FrameSize {
  std::int32_t width = 0;
  std::int32_t height = 0;
  bool operator==(const FrameSize&) const = default;
};

// What tells one version of a file from another.
struct FileStamp {
  std::uint64_t size = 0;
  std::uint64_t lastWrite = 0;
  bool operator==(const FileStamp&) const = default;
};

// A photo loaded for Image1, on its way from the loader to the frame. What
// it holds is the platform's business.
class LoadedPicture {
public:
  virtual ~LoadedPicture() = default;
};

// The photo files, off the user-interface thread: nothing here touches a window.
class PhotoFiles {
public:
  virtual ~PhotoFiles() = default;
  // The file's size and last write, or nothing when the path names no file
  // (a folder counts as none) or it cannot be read. Never throws.
  virtual std::optional<FileStamp> Stamp(const std::wstring& path) = 0;
  // The file as a photo scaled to frame. Throws when the path names no file,
  // the drive cannot be read or the file is not a picture that can be shown.
  virtual std::unique_ptr<LoadedPicture> Load(const std::wstring& path, FrameSize frame) = 0;
};

// Image1, on the user-interface thread.
class PhotoFrame {
public:
  virtual ~PhotoFrame() = default;
  // Makes a loaded photo its picture.
  virtual void Show(std::unique_ptr<LoadedPicture> picture) = 0;
  // The size a photo is loaded at now.
  virtual FrameSize Size() const = 0;
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

// The photo up in Image1, as the file side gave it.
struct ShownPhoto {
  std::wstring path;
  std::optional<FileStamp> stamp;
  FrameSize frame;
  bool operator==(const ShownPhoto&) const = default;
};

// What one tick asks of the file side.
struct TickWork {
  std::wstring photoDir;            // SalvantosDir as read at load
  bool startListing = false;        // PassCount 0 to 2: a new listing and its first file
  FrameSize frame;                  // Image1's size at the time
  std::optional<ShownPhoto> shown;  // Image1's photo: the same file unchanged needs no load
};

// What came of a TickWork.
struct TickResult {
  bool passEnded = false;  // the listing ran out, so PassCount went back to 0
  bool started = false;    // a listing began, which PassCount counts
  bool failed = true;      // the tick ends in the failure box
  std::wstring path;       // the photo's, once the listing gave a name
  std::optional<FileStamp> stamp;
  FrameSize frame;                         // what the picture was scaled to
  std::unique_ptr<LoadedPicture> picture;  // none, not failed: Image1's photo stays
};

// The file side of the ticks. Calls come one at a time, on one thread.
class TickFiles {
public:
  TickFiles(DirectoryListing& listing, PhotoFiles& files, const TextConventions& text)
      : listing_(listing), files_(files), text_(text) {}

  // Takes the listing step of the tick that work describes, ahead of it, and
  // loads its photo. Called again for the same tick (a new frame size), it
  // only loads the photo again.
  void Prepare(const TickWork& work);

  // The tick itself: what was prepared for it, its file checked first (a
  // file changed or gone since is loaded afresh), or all of it now when
  // nothing was prepared. Throws only when out of memory: the tick fails.
  TickResult Tick(const TickWork& work);

private:
  // Where a prepared tick stands, and what the next look at it (Prepare
  // again, for a new frame size, or the tick itself) does:
  //   Failed      the listing could not go on       nothing: the tick fails
  //   StartAgain  the listing's start found nothing  the listing starts again
  //               or could not start
  //   Listed      the photo's name is known          the photo is loaded
  //   Loaded      the photo loaded, failed to, or    loaded again if the file or the frame changed
  //               on show already in Image1
  // Image1's photo never changes within one prepared tick: only a complete
  // tick changes it, and the tick takes what was prepared for it.
  enum class Stage { Failed, StartAgain, Listed, Loaded };
  struct Prepared {
    bool startListing = false;  // which tick it is for: PassCount 0 to 2, or 3
    Stage stage = Stage::Failed;
    TickResult result;
  };

  void Ready(const TickWork& work);
  void TakeStep(Prepared& prepared, const std::wstring& photoDir);
  void StartListing(Prepared& prepared, const std::wstring& photoDir);
  void LoadPhoto(Prepared& prepared, const TickWork& work);

  DirectoryListing& listing_;
  PhotoFiles& files_;
  const TextConventions& text_;
  std::optional<Prepared> prepared_;
};

// Runs the file side somewhere else (a worker thread) and brings each
// tick's result back to PhotoTicks::Complete on the user-interface thread.
class TickWorker {
public:
  virtual ~TickWorker() = default;
  virtual void Prepare(TickWork work) = 0;
  virtual void Run(TickWork work) = 0;
};

// The rules of the tick on the user-interface thread. One tick's work is
// out at a time: a tick that arrives before the previous one is complete,
// its failure box included, is skipped.
class PhotoTicks {
public:
  PhotoTicks(const std::wstring& photoDir, TickWorker& worker, PhotoFrame& frame, CaptionStrip& caption,
             const TextConventions& text, MessageBoxes& boxes)
      : photoDir_(photoDir), worker_(worker), frame_(frame), caption_(caption), text_(text), boxes_(boxes) {}

  // Once the show has its settings and its frame: the first tick's photo
  // is prepared.
  void Start() { worker_.Prepare(WorkNow()); }

  // One tick of Timer1: its work goes out, unless it is skipped.
  void Tick();

  // The result of the tick out: PassCount, then the photo and its caption,
  // or the failure box; and the next tick's photo is prepared. A result
  // when no tick is out is dropped, and so is a photo scaled for a frame
  // size that is gone.
  void Complete(TickResult result);

  // Image1 has a new size: the prepared photo is loaded again at it.
  void FrameChanged();

  // While nobody can see the screen the show rests: no file work at all,
  // not even the next photo's load ahead. The first tick after the rest
  // takes its listing step and loads its photo itself, one load as ever.
  void Rest(bool resting) { resting_ = resting; }

private:
  // Working and Reporting: from a tick until it is complete, its failure box closed.
  enum class Phase { Idle, Working, Reporting };
  TickWork WorkNow() const;

  // 0 to 2: the next tick starts the listing afresh and shows its first
  // file; 3: it continues the listing.
  std::int16_t PassCount_ = 0;
  const std::wstring& photoDir_;  // PhotoDir, as Form1 read it at load
  TickWorker& worker_;
  PhotoFrame& frame_;
  CaptionStrip& caption_;
  const TextConventions& text_;
  MessageBoxes& boxes_;
  Phase phase_ = Phase::Idle;
  bool resting_ = false;
  std::optional<ShownPhoto> shown_;
};

}  // namespace salvanto
