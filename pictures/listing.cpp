#include "pictures/listing.h"

namespace salvanto {

bool IsListed(std::uint32_t attributes, std::uint32_t attributeSet) {
  if (attributes & kAttrVolume) return false;
  const std::uint32_t optional = attributes & (kAttrHidden | kAttrSystem | kAttrDirectory);
  return (optional & ~attributeSet) == 0;
}

bool EndsListing(std::uint32_t systemError, bool firstEntry) {
  constexpr std::uint32_t kFileNotFound = 2, kPathNotFound = 3, kNoMoreFiles = 18;
  return systemError == kNoMoreFiles || (firstEntry && (systemError == kFileNotFound || systemError == kPathNotFound));
}

std::wstring DirectoryListing::Listed(std::optional<FoundEntry> entry) {
  while (entry && !IsListed(entry->attributes, attributeSet_)) entry = finder_.Next();
  if (entry) return std::move(entry->name);
  finder_.Close();
  state_ = State::Exhausted;
  return {};
}

std::wstring DirectoryListing::Start(const std::wstring& pattern, std::uint32_t attributeSet) {
  // A listing that fails half-way leaves nothing open to continue.
  state_ = State::NotStarted;
  attributeSet_ = attributeSet;
  std::optional<FoundEntry> first = finder_.First(pattern);
  state_ = State::Open;
  return Listed(std::move(first));
}

std::wstring DirectoryListing::Continue() {
  if (state_ == State::NotStarted) throw ListingFailure("no listing has been started");
  if (state_ == State::Exhausted) throw ListingFailure("the listing is exhausted");
  return Listed(finder_.Next());
}

}  // namespace salvanto
