#include "slideshow/photo_cycle.h"

#include <exception>

#include "base/scope_exit.h"
#include "slideshow/captions.h"

namespace salvanto {

TickResult ListAndLoad(const TickWork& work, DirectoryListing& listing, PhotoLoader& loader,
                       const TextConventions& text) {
  TickResult result;
  result.ticket = work.ticket;
  try {
    const std::wstring& dir = work.photoDir;
    bool start = work.startListing;
    if (!start) {
      std::wstring next = listing.Continue();
      if (next.empty()) {
        // The pass is over: the next one starts within this tick.
        result.passEnded = true;
        start = true;
      } else {
        result.path = dir + next;
      }
    }
    if (start) {
      const std::wstring first = listing.Start(dir + L"*.*", kOrdinaryFiles);
      result.started = true;
      result.path = dir + text.Upper(first);
    }
    result.picture = loader.Load(result.path);
    result.failed = false;
  } catch (const std::exception&) {
    // The failure box is the user-interface thread's to show.
    result.picture.reset();
  }
  return result;
}

std::optional<TickWork> PhotoTicks::Begin() {
  if (phase_ != Phase::Idle) return std::nullopt;
  phase_ = Phase::Working;
  return TickWork{.ticket = ++ticket_, .photoDir = state_.PhotoDir, .startListing = PassCount_ <= 2};
}

void PhotoTicks::Complete(TickResult result) {
  if (phase_ != Phase::Working || result.ticket != ticket_) return;
  // Reporting until the end of this call: the box keeps dispatching timer
  // messages, and their ticks are skipped.
  phase_ = Phase::Reporting;
  const scope_exit idle([this] { phase_ = Phase::Idle; });
  if (result.passEnded) PassCount_ = 0;
  if (result.started) ++PassCount_;
  bool shown = false;
  if (!result.failed) {
    try {
      // Searched before upper-casing: a continued name keeps its own letter case.
      const std::size_t markerPos = InStr(result.path, kMarker);
      frame_.Show(std::move(result.picture));
      caption_.SetCaption(CaptionFor(text_.Upper(result.path), markerPos));
      shown = true;
    } catch (const std::exception&) {
      // Reported like a failure of the work.
    }
  }
  if (!shown) boxes_.ShowMessage(kPhotoFailureText, kPhotoFailureTitle);
}

std::unique_ptr<LoadedPicture> PhotoCycle::ShownInPlace::Load(const std::wstring& path) {
  loader_.Show(path);
  return nullptr;
}

void PhotoCycle::Tick() {
  if (std::optional<TickWork> work = ticks_.Begin()) ticks_.Complete(ListAndLoad(*work, listing_, inPlace_, text_));
}

}  // namespace salvanto
