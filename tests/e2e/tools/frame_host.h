// Image1 in its frame and the caption strip in a window of their own, laid
// out as Form1 lays them out on an 800 x 600 screen, and the platform with
// boxes that are counted, not shown: where the tools run the real photo
// show, unattended. Only what every revision of the program has is used
// here, so that the benchmark can build it against an older one too.
#pragma once

#include <windows.h>

#include <string_view>

#include "controls/image_win.h"
#include "controls/panel3d_win.h"
#include "framework/platform_win.h"
#include "slideshow/layout.h"
#include "tests/e2e/tools/process_clock.h"

namespace salvanto::win {

class FrameHost {
public:
  // className: registered for the host window, which is titled title.
  FrameHost(const wchar_t* className, const wchar_t* title) : platform_(WithBoxes(ThePlatform(), boxes_)) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = className;
    RegisterClassExW(&wc);
    host_ = CreateWindowExW(0, className, title, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 800, 560, nullptr,
                            nullptr, instance, nullptr);
    if (!host_) return;
    Screen800x600 screen;
    const Form1Layout layout = LoadLayout(screen);
    const auto pixels = [](const TwipRect& rect) { return ToPixels(rect, TwipsPerPixel(96)); };
    PanelSettings frame;
    frame.BackColor = RGB(0, 0, 0);
    frame.BevelOuter = Bevel::Inset;
    frame.BevelWidth = 8;
    Panel3D& panel = Panel3D::Create(host_, kIdSSPanel1, frame, pixels(layout.SSPanel1));
    image_ = &ImageControl::Create(panel.hwnd(), kIdImage1, pixels(layout.Image1));
    PanelSettings strip;
    strip.ForeColor = RGB(255, 0, 0);
    strip.BackColor = RGB(0, 0, 0);
    strip.BevelOuter = Bevel::None;
    year_ = &Panel3D::Create(host_, kIdPanYear, strip, pixels(layout.panYear));
  }
  FrameHost(const FrameHost&) = delete;
  FrameHost& operator=(const FrameHost&) = delete;
  ~FrameHost() {
    if (host_) DestroyWindow(host_);
  }

  // Null when there is no display to make the windows on.
  HWND Host() const { return host_; }
  ImageControl& Image1() const { return *image_; }
  Panel3D& PanYear() const { return *year_; }
  Platform& ShowPlatform() { return platform_; }
  int BoxesShown() const { return boxes_.shown; }

private:
  // The program's platform with other boxes; the baseline's platform (see
  // bench/run.sh) still holds a screen, which came from the system's density.
  template <typename P>
  static Platform WithBoxes(P& p, MessageBoxes& boxes) {
    if constexpr (requires { p.screen; }) {
      return {p.cursor, p.end, p.screen, p.store, p.text, boxes};
    } else {
      return {p.cursor, p.end, p.store, p.text, boxes};
    }
  }
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
  HWND host_ = nullptr;
  ImageControl* image_ = nullptr;
  Panel3D* year_ = nullptr;
};

}  // namespace salvanto::win
