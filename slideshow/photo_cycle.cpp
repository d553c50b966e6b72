#include "slideshow/photo_cycle.h"

#include <exception>

#include "base/scope_exit.h"
#include "slideshow/captions.h"

namespace salvanto {

void PhotoCycle::Tick() {
  if (inTick_) return;
  inTick_ = true;
  const scope_exit leave([this] { inTick_ = false; });
  try {
    ShowNextPhoto();
  } catch (const std::exception&) {
    boxes_.ShowMessage(kPhotoFailureText, kPhotoFailureTitle);
  }
}

void PhotoCycle::ShowNextPhoto() {
  const std::wstring& dir = state_.PhotoDir;
  std::wstring path;
  if (PassCount_ <= 2) {
    const std::wstring first = listing_.Start(dir + L"*.*", kOrdinaryFiles);
    path = dir + text_.Upper(first);
    ++PassCount_;
  } else {
    std::wstring next = listing_.Continue();
    if (next.empty()) {
      // The pass is over: start the next one within this tick.
      PassCount_ = 0;
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
