// The photo show on the beat, run under Wine by bench/run.sh: the real
// photo show in a window of its own, ticked by a real window timer at a
// fixed delay, as Form1's Timer1 ticks it. For each tick, how long after it
// its photo was on screen; for each change, how far it was from the beat.
//
//   salvanto_beat <folder> <delay ms> <ticks>
//
// One warm-up tick first (DLLs and decoders loaded), then <ticks> measured
// ticks. One JSON line per tick, then one summary line:
//   {"tick":k,"at_ms":..,"skipped":true}          the show was still busy
//   {"tick":k,"at_ms":..,"to_photo_ms":..,"offset_ms":..,"changed":..,"box":..}
// at_ms is the tick's time from the first measured tick; offset_ms is when
// its photo was on screen less the ideal beat (first measured tick + (k-1)
// delays). changed: Image1 was repainted, i.e. got a new picture (a picture
// reused for the same unchanged file is on screen when the tick's work
// ends, unchanged). box: a failure box was counted instead of shown.
//
// It uses only the photo show's public face (constructor, Tick, Complete,
// kPhotoLoaded, through the frame host), so that the same file builds
// against an older tree for a comparison.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/handles.h"
#include "tests/e2e/tools/frame_host.h"

using namespace salvanto;
using namespace salvanto::win;

namespace {

double PeakMb() { return static_cast<double>(Memory().PeakWorkingSetSize) / (1024.0 * 1024.0); }

// Image1's repaints, seen from a subclass of its window. SetPicture repaints
// at once (inside the call), so a repaint during a tick's work is its new
// photo going up; one between ticks would be a photo up before its tick.
struct PaintWatch {
  WNDPROC original = nullptr;
  int paints = 0;
};
PaintWatch g_watch;

LRESULT CALLBACK WatchedImageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = CallWindowProcW(g_watch.original, window, message, wParam, lParam);
  if (message == WM_PAINT) ++g_watch.paints;
  return result;
}

constexpr UINT_PTR kBeatTimer = 1;
constexpr UINT_PTR kWatchdogTimer = 2;
// A tick whose work has not ended after this long has hung: the run stops.
constexpr double kHungMs = 120000;

struct TickRecord {
  int index = 0;
  double at = 0;  // from the first measured tick
  bool skipped = false;
  double toPhoto = 0;
  double offset = 0;
  bool changed = false;
  bool box = false;
};

// Image1 in its frame and the caption strip, as Form1 lays them out on an
// 800 x 600 screen, with the real photo show over a folder.
class BeatHost {
public:
  explicit BeatHost(const std::wstring& folder) : frame_(L"SalvantoBeatHost", L"beat") {
    if (!frame_.Host()) return;
    g_watch.original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(frame_.Image1().hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchedImageProc)));
    // Before the show exists: a show may start on its first photo at once.
    frame_.StartShow(folder);
  }

  explicit operator bool() const { return frame_.Showing(); }

  // Ticks the show from a window timer: a warm-up tick, then `ticks`
  // measured ones; returns when the last measured tick's work has ended.
  // False when a tick hung.
  bool Run(UINT delayMs, int ticks) {
    delay_ = delayMs;
    ticks_ = ticks;
    SetTimer(frame_.Host(), kBeatTimer, delayMs, nullptr);
    SetTimer(frame_.Host(), kWatchdogTimer, 1000, nullptr);
    MSG msg;
    while (!done_ && GetMessageW(&msg, nullptr, 0, 0) > 0) {
      if (msg.hwnd == frame_.Host() && msg.message == WM_TIMER && msg.wParam == kBeatTimer) {
        OnBeat(NowMs());
      } else if (msg.hwnd == frame_.Host() && msg.message == WM_TIMER && msg.wParam == kWatchdogTimer) {
        if (pending_ && NowMs() - pending_->start > kHungMs) {
          hung_ = true;
          done_ = true;
        }
      } else if (frame_.Completes(msg)) {
        UpdateWindow(frame_.Image1().hwnd());  // a no-op when the picture went up already
        if (pending_) Finish(NowMs());
      } else {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
    KillTimer(frame_.Host(), kBeatTimer);
    KillTimer(frame_.Host(), kWatchdogTimer);
    return !hung_;
  }

  const std::vector<TickRecord>& Records() const { return records_; }
  int StrayPaints() const { return strayPaints_; }
  UINT Delay() const { return delay_; }

private:
  struct Pending {
    int index;
    double start;
    int paintsBefore;
    int boxesBefore;
  };

  void OnBeat(double now) {
    ++beat_;  // 0 is the warm-up tick
    if (beat_ == 1) first_ = now;
    if (beat_ > ticks_) {
      KillTimer(frame_.Host(), kBeatTimer);
      if (!pending_) done_ = true;
      return;
    }
    if (beat_ >= 1 && !pending_) strayPaints_ += g_watch.paints - paintsAtLastEnd_;
    if (frame_.TickOut()) {
      if (beat_ >= 1) records_.push_back({.index = beat_, .at = now - first_, .skipped = true});
      // Ticked all the same, as Timer1 ticks it: the show's rules skip it,
      // and a show may take its result from the slot then; its
      // kPhotoLoaded, posted already, comes next.
      frame_.Tick();
      return;
    }
    pending_ = Pending{beat_, now, g_watch.paints, frame_.BoxesShown()};
    frame_.Tick();
  }

  void Finish(double now) {
    const Pending tick = *pending_;
    pending_.reset();
    paintsAtLastEnd_ = g_watch.paints;
    if (tick.index >= 1) {
      TickRecord record;
      record.index = tick.index;
      record.at = tick.start - first_;
      record.toPhoto = now - tick.start;
      record.offset = (now - first_) - static_cast<double>(tick.index - 1) * delay_;
      record.changed = g_watch.paints != tick.paintsBefore;
      record.box = frame_.BoxesShown() != tick.boxesBefore;
      records_.push_back(record);
    }
    if (beat_ > ticks_) done_ = true;
  }

  FrameHost frame_;

  UINT delay_ = 0;
  int ticks_ = 0;
  int beat_ = -1;
  double first_ = 0;
  std::optional<Pending> pending_;
  int paintsAtLastEnd_ = 0;
  int strayPaints_ = 0;
  bool done_ = false;
  bool hung_ = false;
  std::vector<TickRecord> records_;
};

const char* Bool(bool value) { return value ? "true" : "false"; }

// A number for JSON, or null when there is none.
std::string Number(double value, int decimals) {
  if (!std::isfinite(value)) return "null";
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

double Median(std::vector<double> values) {
  if (values.empty()) return NAN;
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

int Beat(const std::wstring& folder, UINT delayMs, int ticks) {
  BeatHost host(folder);
  if (!host) {
    std::printf("{\"error\":\"no window (is there a display?)\"}\n");
    return 2;
  }
  const bool finished = host.Run(delayMs, ticks);
  std::vector<double> toPhoto;
  double worstOffset = 0;
  int skipped = 0, boxes = 0, changes = 0, shownInWindow = 0, changesInWindow = 0;
  const double window = static_cast<double>(ticks) * delayMs;
  // A tick's line is noted when its work ends, after any skipped ticks
  // that came meanwhile: printed in the ticks' order.
  std::vector<TickRecord> records = host.Records();
  std::sort(records.begin(), records.end(), [](const auto& a, const auto& b) { return a.index < b.index; });
  for (const TickRecord& r : records) {
    if (r.skipped) {
      ++skipped;
      std::printf("{\"tick\":%d,\"at_ms\":%.1f,\"skipped\":true}\n", r.index, r.at);
      continue;
    }
    std::printf("{\"tick\":%d,\"at_ms\":%.1f,\"to_photo_ms\":%.2f,\"offset_ms\":%.1f,\"changed\":%s,\"box\":%s}\n",
                r.index, r.at, r.toPhoto, r.offset, Bool(r.changed), Bool(r.box));
    if (r.box) {
      ++boxes;
      continue;
    }
    toPhoto.push_back(r.toPhoto);
    const double onScreen = r.at + r.toPhoto;
    if (onScreen < window) ++shownInWindow;
    if (r.changed) {
      ++changes;
      changesInWindow += onScreen < window;
      if (std::fabs(r.offset) > std::fabs(worstOffset)) worstOffset = r.offset;
    }
  }
  const double slowest = toPhoto.empty() ? NAN : *std::max_element(toPhoto.begin(), toPhoto.end());
  // Ticks with their photo on screen, and repaints with a new one, per
  // minute of the measured ticks' span (ticks x delay from the first).
  std::printf(
      "{\"summary\":true,\"finished\":%s,\"ticks\":%d,\"delay_ms\":%u,\"shown\":%zu,\"skipped\":%d,\"boxes\":%d,"
      "\"changes\":%d,\"median_ms\":%s,\"slowest_ms\":%s,\"worst_offset_ms\":%s,\"seconds\":%.1f,"
      "\"shown_per_min\":%.1f,\"changes_per_min\":%.1f,\"stray_paints\":%d,\"peak_mb\":%.2f}\n",
      Bool(finished), ticks, delayMs, toPhoto.size(), skipped, boxes, changes, Number(Median(toPhoto), 2).c_str(),
      Number(slowest, 2).c_str(), Number(changes ? worstOffset : NAN, 1).c_str(), window / 1000.0,
      shownInWindow * 60000.0 / window, changesInWindow * 60000.0 / window, host.StrayPaints(), PeakMb());
  std::fflush(stdout);
  return finished ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  com_apartment com;
  if (argc < 4 || _wtoi(argv[2]) < 1 || _wtoi(argv[3]) < 1) {
    std::printf("usage: salvanto_beat <folder> <delay ms> <ticks>\n");
    return 2;
  }
  return Beat(argv[1], static_cast<UINT>(_wtoi(argv[2])), _wtoi(argv[3]));
}
