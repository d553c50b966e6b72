// The real photo show in a window of its own, ticked as fast as it goes: the
// benchmark's soak and tick timings and the soak test's figures all drive it.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

#include "controls/image_win.h"
#include "controls/panel3d_win.h"
#include "framework/platform_win.h"
#include "slideshow/layout.h"
#include "slideshow/photo_show_win.h"

namespace salvanto::win {

// Milliseconds on the performance counter.
inline double NowMs() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Image1 in its frame and the caption strip, as Form1 lays them out on
// 800 x 600, with the real photo show over a folder. Message boxes are
// counted, not shown: the soak runs unattended.
class SoakHost {
public:
  explicit SoakHost(const std::wstring& folder)
      : platform_{ThePlatform().cursor, ThePlatform().end,  ThePlatform().screen,
                  ThePlatform().store,  ThePlatform().text, boxes_} {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = L"SalvantoSoakHost";
    RegisterClassExW(&wc);
    host_ = CreateWindowExW(0, wc.lpszClassName, L"soak", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 800, 560,
                            nullptr, nullptr, instance, nullptr);
    if (!host_) return;
    Screen800x600 screen;
    const Form1Layout layout = LoadLayout(screen);
    const auto pixels = [](const TwipRect& rect) { return ToPixels(rect, TwipsPerPixel(96)); };
    PanelSettings frame;
    frame.BackColor = RGB(0, 0, 0);
    frame.BevelOuter = Bevel::Inset;
    frame.BevelWidth = 8;
    Panel3D& panel = Panel3D::Create(host_, kIdSSPanel1, frame, pixels(layout.SSPanel1));
    ImageControl& image = ImageControl::Create(panel.hwnd(), kIdImage1, pixels(layout.Image1));
    PanelSettings strip;
    strip.ForeColor = RGB(255, 0, 0);
    strip.BackColor = RGB(0, 0, 0);
    strip.BevelOuter = Bevel::None;
    year_ = &Panel3D::Create(host_, kIdPanYear, strip, pixels(layout.panYear));
    state_.PhotoDir = platform_.text.Upper(folder);
    show_ = std::make_unique<PhotoShow>(platform_, state_, image, *year_, host_);
  }
  SoakHost(const SoakHost&) = delete;
  SoakHost& operator=(const SoakHost&) = delete;
  ~SoakHost() {
    show_.reset();
    if (host_) DestroyWindow(host_);
  }

  // False when there is no display to make the windows on.
  explicit operator bool() const { return show_ != nullptr; }
  // Milliseconds from a tick to its photo painted (or its box counted), and
  // the part of them the user-interface thread was busy.
  struct TickTimes {
    double toPhoto = 0, busy = 0;
  };

  // One tick, its photo loaded on the show's worker thread and put up (or
  // its box counted), and the messages it left (repaints) handled.
  TickTimes Tick() {
    const double start = NowMs();
    show_->Tick();
    double busy = NowMs() - start;
    MSG msg;
    while (show_->Busy() && GetMessageW(&msg, nullptr, 0, 0) > 0) {
      const double handling = NowMs();
      if (msg.hwnd == host_ && msg.message == PhotoShow::kPhotoLoaded) {
        show_->Complete();
      } else {
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
  int BoxesShown() const { return boxes_.shown; }
  int PassCount() const { return show_->PassCount(); }
  std::wstring Caption() const { return year_->Caption(); }

private:
  struct CountingBoxes final : MessageBoxes {
    void ShowMessage(std::wstring_view, std::wstring_view) override { ++shown; }
    int shown = 0;
  };
  // A screen of 800 x 600 pixels at 96 DPI.
  struct Screen800x600 final : ScreenMetrics {
    float WidthTwips() override { return PixelsToTwips(800, 96); }
    float HeightTwips() override { return PixelsToTwips(600, 96); }
  };

  CountingBoxes boxes_;
  Platform platform_;
  ShowSettings state_;
  HWND host_ = nullptr;
  Panel3D* year_ = nullptr;
  std::unique_ptr<PhotoShow> show_;
};

}  // namespace salvanto::win
