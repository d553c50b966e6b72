#pragma once
// The file system's search behind the photo listing: FindFirstFileW and
// FindNextFileW, one search open at a time, its handle owned here.
#include <windows.h>

#include "framework/handles.h"
#include "pictures/listing.h"

namespace salvanto::win {

class Win32FileFinder final : public FileFinder {
public:
  std::optional<FoundEntry> First(const std::wstring& pattern) override;
  std::optional<FoundEntry> Next() override;
  void Close() override { find_.reset(); }
  bool IsOpen() const { return static_cast<bool>(find_); }

private:
  unique_hfind find_;
};

// The listing the tick uses: the search above with the attribute rule.
class Win32Listing final : public DirectoryListing {
public:
  std::wstring Start(const std::wstring& pattern, std::uint32_t attributeSet) override {
    return listing_.Start(pattern, attributeSet);
  }
  std::wstring Continue() override { return listing_.Continue(); }
  const Win32FileFinder& Finder() const { return finder_; }

private:
  Win32FileFinder finder_;
  FilteredListing listing_{finder_};
};

}  // namespace salvanto::win
