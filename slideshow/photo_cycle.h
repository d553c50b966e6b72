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

#include "startup/platform.h"

namespace salvanto {

// Attribute bits as the file system reports them for a directory entry.
enum FileAttribute : std::uint32_t {
  kAttrReadOnly = 0x01,
  kAttrHidden = 0x02,
  kAttrSystem = 0x04,
  kAttrVolume = 0x08,
  kAttrDirectory = 0x10,
  kAttrArchive = 0x20,
};

// The attribute set of ordinary files: no directories, hidden or system files.
inline constexpr std::uint32_t kOrdinaryFiles = 0;

// True when an entry with these attributes belongs in a listing asked for
// with attributeSet: hidden, system and directory entries only when the set
// names them; volume labels never. Read-only and archive files always.
bool IsListed(std::uint32_t attributes, std::uint32_t attributeSet);

// A failure of the listing or of a picture load. The tick reports every
// failure alike, this one and any other exception.
class PhotoFailure : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// Directory enumeration that runs across ticks.
class DirectoryListing {
public:
  virtual ~DirectoryListing() = default;
  // Begins a new listing and gives its first name, or an empty name when
  // nothing matches (also for a directory that does not exist). Throws when
  // the drive cannot be read.
  virtual std::wstring Start(const std::wstring& pattern, std::uint32_t attributeSet) = 0;
  // The next name of the listing started last, or an empty name once it is
  // exhausted. A further call after that, or a call before any start, throws.
  virtual std::wstring Continue() = 0;
};

// One raw entry of a file-system search.
struct FoundEntry {
  std::wstring name;
  std::uint32_t attributes = 0;
};

// The file system's search, unfiltered, in its own order.
class FileFinder {
public:
  virtual ~FileFinder() = default;
  // Ends any search still open and begins a new one. Nothing when the
  // pattern matches nothing or its directory does not exist; throws
  // PhotoFailure when the drive cannot be read.
  virtual std::optional<FoundEntry> First(const std::wstring& pattern) = 0;
  // The next entry of the open search; nothing at its end.
  virtual std::optional<FoundEntry> Next() = 0;
  // Ends the open search, if any, and frees what it holds.
  virtual void Close() = 0;
};

// The listing over a file-system search: the attribute rule and the
// exhausted state. The search is closed as soon as it is exhausted.
class FilteredListing final : public DirectoryListing {
public:
  explicit FilteredListing(FileFinder& finder) : finder_(finder) {}
  std::wstring Start(const std::wstring& pattern, std::uint32_t attributeSet) override;
  std::wstring Continue() override;

private:
  std::wstring Listed(std::optional<FoundEntry> entry);

  enum class State { NotStarted, Open, Exhausted };
  FileFinder& finder_;
  State state_ = State::NotStarted;
  std::uint32_t attributeSet_ = kOrdinaryFiles;
};

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
  std::int16_t PassCount = 0;

private:
  void ShowNextPhoto();

  const SharedState& state_;
  DirectoryListing& listing_;
  PictureLoader& loader_;
  CaptionStrip& caption_;
  const TextConventions& text_;
  MessageBoxes& boxes_;
  bool inTick_ = false;
};

}  // namespace salvanto
