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

private:
  unique_hfind find_;
};

}  // namespace salvanto::win
