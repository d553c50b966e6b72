#include "pictures/listing_win.h"

#include <string>

namespace salvanto::win {
namespace {

FoundEntry Entry(const WIN32_FIND_DATAW& data) {
  return {std::wstring(data.cFileName), static_cast<std::uint32_t>(data.dwFileAttributes)};
}

[[noreturn]] void Fail(const char* what, DWORD error) {
  throw ListingFailure(std::string(what) + " failed with system error " + std::to_string(error));
}

}  // namespace

std::optional<FoundEntry> Win32FileFinder::First(const std::wstring& pattern) {
  find_.reset();
  WIN32_FIND_DATAW data{};
  HANDLE found = INVALID_HANDLE_VALUE;
  DWORD error = ERROR_SUCCESS;
  {
    // An empty removable drive is reported by the tick, not by the system.
    const no_critical_error_boxes quiet;
    found = FindFirstFileW(pattern.c_str(), &data);
    if (found == INVALID_HANDLE_VALUE) error = GetLastError();
  }
  if (found == INVALID_HANDLE_VALUE) {
    if (EndsListing(error, true)) return std::nullopt;
    Fail("FindFirstFileW", error);
  }
  find_.reset(found);
  return Entry(data);
}

std::optional<FoundEntry> Win32FileFinder::Next() {
  if (!find_) throw ListingFailure("no search is open");
  WIN32_FIND_DATAW data{};
  if (FindNextFileW(find_.get(), &data)) return Entry(data);
  const DWORD error = GetLastError();
  find_.reset();
  if (EndsListing(error, false)) return std::nullopt;
  Fail("FindNextFileW", error);
}

}  // namespace salvanto::win
