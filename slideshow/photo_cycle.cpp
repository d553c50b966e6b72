#include "slideshow/photo_cycle.h"

#include <exception>

#include "base/scope_exit.h"
#include "slideshow/captions.h"

namespace salvanto {

void TickFiles::Prepare(const TickWork& work) { Ready(work); }

TickResult TickFiles::Tick(const TickWork& work) {
  // Whatever comes of it, the tick takes what was prepared for it.
  const scope_exit taken([this] { prepared_.reset(); });
  Ready(work);
  return std::move(prepared_->result);
}

void TickFiles::Ready(const TickWork& work) {
  if (!prepared_ || prepared_->startListing != work.startListing) {
    prepared_ = Prepared{.startListing = work.startListing, .stage = Stage::Failed, .result = {}};
    TakeStep(*prepared_, work.photoDir);
  } else if (prepared_->stage == Stage::StartAgain) {
    // A listing that found nothing or could not start ahead of its tick
    // starts again at it: the photos may have come, the drive be readable.
    StartListing(*prepared_, work.photoDir);
  }
  if (prepared_->stage == Stage::Listed || prepared_->stage == Stage::Loaded) LoadPhoto(*prepared_, work);
}

void TickFiles::TakeStep(Prepared& prepared, const std::wstring& photoDir) {
  if (!prepared.startListing) {
    std::wstring next;
    try {
      next = listing_.Continue();
    } catch (const std::exception&) {
      prepared.stage = Stage::Failed;
      return;
    }
    if (!next.empty()) {
      prepared.result.path = photoDir + next;
      prepared.stage = Stage::Listed;
      return;
    }
    // The pass is over: the next one starts within this tick.
    prepared.result.passEnded = true;
  }
  StartListing(prepared, photoDir);
}

void TickFiles::StartListing(Prepared& prepared, const std::wstring& photoDir) {
  const bool passEnded = prepared.result.passEnded;
  prepared.result = TickResult();
  prepared.result.passEnded = passEnded;
  prepared.stage = Stage::StartAgain;
  try {
    const std::wstring first = listing_.Start(photoDir + L"*.*", kOrdinaryFiles);
    prepared.result.started = true;
    if (first.empty()) return;
    prepared.result.path = photoDir + text_.Upper(first);
    prepared.stage = Stage::Listed;
  } catch (const std::exception&) {
    // Failed as it stands; the tick starts the listing again.
  }
}

void TickFiles::LoadPhoto(Prepared& prepared, const TickWork& work) {
  TickResult& result = prepared.result;
  const std::optional<FileStamp> stamp = files_.Stamp(result.path);
  // What was loaded ahead stands while the file and the frame are the same.
  if (prepared.stage == Stage::Loaded && result.stamp == stamp && result.frame == work.frame) return;
  result.picture.reset();  // before the load: one prepared picture at a time
  result.stamp = stamp;
  result.frame = work.frame;
  result.failed = false;
  prepared.stage = Stage::Loaded;
  // Image1 already shows this very file at this size: nothing to load.
  if (stamp && work.shown == ShownPhoto{result.path, stamp, work.frame}) return;
  try {
    result.picture = files_.Load(result.path, work.frame);
  } catch (const std::exception&) {
    result.failed = true;
  }
}

TickWork PhotoTicks::WorkNow() const {
  return {.photoDir = photoDir_, .startListing = PassCount_ <= 2, .frame = frame_.Size(), .shown = shown_};
}

void PhotoTicks::Tick() {
  if (resting_ || phase_ != Phase::Idle) return;
  phase_ = Phase::Working;
  worker_.Run(WorkNow());
}

void PhotoTicks::Complete(TickResult result) {
  if (phase_ != Phase::Working) return;
  // Reporting until the end of this call: the box keeps dispatching timer
  // messages, and their ticks are skipped.
  phase_ = Phase::Reporting;
  const scope_exit idle([this] { phase_ = Phase::Idle; });
  if (result.passEnded) PassCount_ = 0;
  if (result.started) ++PassCount_;
  // Scaled for a frame that has changed size since: neither shown nor a failure.
  const bool frameGone = !result.failed && result.frame != frame_.Size();
  bool shown = false;
  if (!result.failed && !frameGone) {
    try {
      // Searched before upper-casing: a continued name keeps its own letter case.
      const std::size_t markerPos = InStr(result.path, kMarker);
      if (result.picture) {
        shown_.reset();
        frame_.Show(std::move(result.picture));
      } else if (!shown_) {
        throw PhotoFailure("no picture was loaded");
      }
      caption_.SetCaption(CaptionFor(text_.Upper(result.path), markerPos));
      shown_ = ShownPhoto{result.path, result.stamp, result.frame};
      shown = true;
    } catch (const std::exception&) {
      // Reported like a failure of the file work.
    }
  }
  // The next tick's photo is prepared while this one is up, or its box open.
  if (!resting_) worker_.Prepare(WorkNow());
  if (!shown && !frameGone) boxes_.ShowMessage(kPhotoFailureText, kPhotoFailureTitle);
}

void PhotoTicks::FrameChanged() {
  // While a tick is out, its result is dropped and the next tick's photo
  // prepared at the new size when it comes back.
  if (phase_ != Phase::Working && !resting_) worker_.Prepare(WorkNow());
}

}  // namespace salvanto
