// The real photo show in a window of its own, ticked as fast as it goes: the
// benchmark's soak and tick timings and the soak test's figures all drive it.
#pragma once

#include <windows.h>

#include <string>

#include "tests/e2e/tools/frame_host.h"

namespace salvanto::win {

// Image1 in its frame and the caption strip, as Form1 lays them out on
// 800 x 600, with the real photo show over a folder. Message boxes are
// counted, not shown: the soak runs unattended.
class SoakHost {
public:
  explicit SoakHost(const std::wstring& folder) : frame_(L"SalvantoSoakHost", L"soak") {
    if (frame_.Host()) frame_.StartShow(folder);
  }

  // False when there is no display to make the windows on.
  explicit operator bool() const { return frame_.Showing(); }
  // Milliseconds from a tick to its photo painted (or its box counted), and
  // the part of them the user-interface thread was busy.
  struct TickTimes {
    double toPhoto = 0, busy = 0;
  };

  // One tick, its photo loaded on the show's worker thread and put up (or
  // its box counted), and the messages it left (repaints) handled.
  TickTimes Tick() {
    const double start = NowMs();
    frame_.Tick();
    double busy = NowMs() - start;
    MSG msg;
    while (frame_.TickOut() && GetMessageW(&msg, nullptr, 0, 0) > 0) {
      const double handling = NowMs();
      if (!frame_.Completes(msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
      busy += NowMs() - handling;
    }
    const double painting = NowMs();
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    const double end = NowMs();
    return {end - start, busy + end - painting};
  }
  int BoxesShown() const { return frame_.BoxesShown(); }
  std::wstring Caption() const { return frame_.PanYear().Caption(); }

private:
  FrameHost frame_;
};

}  // namespace salvanto::win
