// Image1 in its frame and the caption strip in a window of their own, laid
// out as Form1 lays them out on an 800 x 600 screen, and the platform with
// boxes that are counted, not shown: where the tools run the real photo
// show, unattended. Only what every revision of the program has is used
// here, so that the benchmark can build it against an older one too.
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
#include "tests/e2e/tools/process_clock.h"
// The show's settings: Form1's own since the windows stopped sharing one
// state; the older revisions the benchmark also builds have only the shared one.
#if __has_include("slideshow/show_settings.h")
#include "slideshow/show_settings.h"
#endif

namespace salvanto::win {

#if __has_include("slideshow/show_settings.h")
using ShowState = ShowSettings;
#else
using ShowState = SharedState;
#endif

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
    show_.reset();
    if (host_) DestroyWindow(host_);
  }

  // The real photo show over folder in the frame, once the frame's windows
  // are as the tool wants them: the show may load its first photo at once.
  void StartShow(const std::wstring& folder) {
    state_.PhotoDir = platform_.text.Upper(folder);
    show_ = std::make_unique<PhotoShow>(platform_, state_, *image_, *year_, host_);
  }
  // Timer1's tick: its work goes out, unless a tick is still out (the show
  // skips it then).
  void Tick() {
    show_->Tick();
    tickOut_ = true;
  }
  // From a tick until its result, which kPhotoLoaded announces, is complete:
  // its photo up or its box counted.
  bool TickOut() const { return tickOut_; }
  // Hands msg to the show when it is kPhotoLoaded; true then.
  bool Completes(const MSG& msg) {
    if (msg.hwnd != host_ || msg.message != PhotoShow::kPhotoLoaded) return false;
    show_->Complete();
    tickOut_ = false;
    return true;
  }

  // Null when there is no display to make the windows on.
  HWND Host() const { return host_; }
  bool Showing() const { return show_ != nullptr; }
  ImageControl& Image1() const { return *image_; }
  Panel3D& PanYear() const { return *year_; }
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
  ShowState state_;
  std::unique_ptr<PhotoShow> show_;
  bool tickOut_ = false;
};

}  // namespace salvanto::win
