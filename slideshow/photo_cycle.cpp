#include "slideshow/photo_cycle.h"

#include <exception>

#include "slideshow/captions.h"

namespace salvanto {

bool IsListed(std::uint32_t attributes, std::uint32_t attributeSet) {
  if (attributes & kAttrVolume) return false;
  const std::uint32_t optional = attributes & (kAttrHidden | kAttrSystem | kAttrDirectory);
  return (optional & ~attributeSet) == 0;
}

std::wstring FilteredListing::Listed(std::optional<FoundEntry> entry) {
  while (entry && !IsListed(entry->attributes, attributeSet_)) entry = finder_.Next();
  if (entry) return std::move(entry->name);
  finder_.Close();
  state_ = State::Exhausted;
  return {};
}

std::wstring FilteredListing::Start(const std::wstring& pattern, std::uint32_t attributeSet) {
  // A listing that fails half-way leaves nothing open to continue.
  state_ = State::NotStarted;
  attributeSet_ = attributeSet;
  std::optional<FoundEntry> first = finder_.First(pattern);
  state_ = State::Open;
  return Listed(std::move(first));
}

std::wstring FilteredListing::Continue() {
  if (state_ == State::NotStarted) throw PhotoFailure("no listing has been started");
  if (state_ == State::Exhausted) throw PhotoFailure("the listing is exhausted");
  return Listed(finder_.Next());
}

void PhotoCycle::Tick() {
  if (inTick_) return;
  inTick_ = true;
  struct Leave {
    bool& flag;
    ~Leave() { flag = false; }
  } leave{inTick_};
  try {
    ShowNextPhoto();
  } catch (const std::exception&) {
    boxes_.ShowMessage(kPhotoFailureText, kPhotoFailureTitle);
  }
}

void PhotoCycle::ShowNextPhoto() {
  const std::wstring& dir = state_.PhotoDir;
  std::wstring path;
  if (PassCount <= 2) {
    const std::wstring first = listing_.Start(dir + L"*.*", kOrdinaryFiles);
    path = dir + text_.Upper(first);
    ++PassCount;
  } else {
    std::wstring next = listing_.Continue();
    if (next.empty()) {
      // The pass is over: start the next one within this tick.
      PassCount = 0;
      ShowNextPhoto();
      return;
    }
    path = dir + next;
  }
  // Searched before upper-casing: a continued name keeps its own letter case.
  const std::size_t markerPos = InStr(path, kMarker);
  loader_.Show(path);
  caption_.SetCaption(CaptionFor(text_.Upper(path), markerPos));
}

}  // namespace salvanto
