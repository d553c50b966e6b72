#pragma once
// Listing a folder across ticks: the file system's raw search behind an
// interface, and the rule that keeps only the entries a listing asks for.
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

namespace salvanto {

// Attribute bits as the file system reports them for a directory entry.
enum FileAttribute : std::uint32_t {
  kAttrHidden = 0x02,
  kAttrSystem = 0x04,
  kAttrVolume = 0x08,
  kAttrDirectory = 0x10,
};

// The attribute set of ordinary files: no directories, hidden or system files.
inline constexpr std::uint32_t kOrdinaryFiles = 0;

// True when an entry with these attributes belongs in a listing asked for
// with attributeSet: hidden, system and directory entries only when the set
// names them; volume labels never. Read-only and archive files always.
bool IsListed(std::uint32_t attributes, std::uint32_t attributeSet);

// A listing that cannot go on: the drive cannot be read, or a continue
// without a listing to continue.
class ListingFailure : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// One raw entry of a file-system search.
struct FoundEntry {
  std::wstring name;
  std::uint32_t attributes = 0;
};

// Whether a search's system error is the listing's end, not a failure: at
// the first entry, nothing matches or the folder is not there (2, 3) or
// there are no files (18); later, only no more files. A drive that cannot
// be read, or any other refusal, is a failure.
bool EndsListing(std::uint32_t systemError, bool firstEntry);

// The file system's search, unfiltered, in its own order.
class FileFinder {
public:
  virtual ~FileFinder() = default;
  // Ends any search still open and begins a new one. Nothing when the
  // pattern matches nothing or its directory does not exist; throws
  // ListingFailure when the drive cannot be read.
  virtual std::optional<FoundEntry> First(const std::wstring& pattern) = 0;
  // The next entry of the open search; nothing at its end.
  virtual std::optional<FoundEntry> Next() = 0;
  // Ends the open search, if any, and frees what it holds.
  virtual void Close() = 0;
};

// Directory enumeration that runs across ticks, over a file-system search:
// the attribute rule and the exhausted state. The search is closed as soon
// as it is exhausted.
class DirectoryListing {
public:
  explicit DirectoryListing(FileFinder& finder) : finder_(finder) {}
  // Begins a new listing and gives its first name, or an empty name when
  // nothing matches (also for a directory that does not exist). Throws when
  // the drive cannot be read.
  std::wstring Start(const std::wstring& pattern, std::uint32_t attributeSet);
  // The next name of the listing started last, or an empty name once it is
  // exhausted. A further call after that, or a call before any start, throws.
  std::wstring Continue();

private:
  std::wstring Listed(std::optional<FoundEntry> entry);

  enum class State { NotStarted, Open, Exhausted };
  FileFinder& finder_;
  State state_ = State::NotStarted;
  std::uint32_t attributeSet_ = kOrdinaryFiles;
};

}  // namespace salvanto
