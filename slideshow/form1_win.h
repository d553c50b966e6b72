#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "base/platform.h"
#include "controls/image_win.h"
#include "controls/panel3d_win.h"
#include "framework/window.h"
#include "slideshow/activity.h"
#include "slideshow/cover_win.h"
#include "slideshow/display_power.h"
#include "slideshow/layout.h"
#include "slideshow/monitors.h"
#include "slideshow/photo_show_win.h"

namespace salvanto::win {

// The slideshow window: black, borderless, covering the screen, with the
// photo frame, the caption strip and the title banner.
class Form1 final : public Window<Form1>, private ImageEvents, private CoverEvents {
public:
  // Creates Form1, runs its load handling (settings, timer, layout; a bad
  // setting throws before anything shows) and shows it maximised.
  friend Form1& ShowForm1(HINSTANCE instance, Platform& platform);

  void SetYearVisible(bool visible);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
  // cursor: where the pointer stands when the window is made.
  Form1(Platform& platform, POINT cursor);
  void CreateControls();
  void Load();
  void SetTimerInterval(std::int32_t milliseconds);
  void LoadBanner();
  void CoverScreen();
  // Each control at the size of its design, at its laid-out place, at the
  // window's density.
  void PlaceControls();
  // Sizes, positions and the banner as at load, for the screen's size
  // and the window's density now.
  void LayOutForScreen();
  // Every monitor but Form1's own under a cover, made anew when the
  // monitors change.
  void CoverOtherMonitors(Monitors monitors);
  void OnMonitorCheck();
  // The screen changed its size or its monitors: Form1 covers the new
  // screen, laid out as at load for it, and the covers follow.
  void OnDisplayChanged();
  // Asks the platform to report the display's power (where it can).
  void FollowDisplayPower();
  void OnPowerBroadcast(WPARAM event, LPARAM data);
  [[noreturn]] void End();

  void OnGetMinMaxInfo(MINMAXINFO& info);
  void OnTimer(UINT_PTR timer);
  void OnPhotoLoaded();
  void OnActivate(bool active);
  void OnActivateApp(bool active);
  // False for a command Form1 refuses.
  bool OnSysCommand(WPARAM command);
  // The one body of both close handlers, QueryUnload's and Unload's: the
  // cursor visible again. Each runs it, so each raises the cursor's count.
  void CloseHandler();
  void OnClose();
  void OnEndSession(bool ending);
  void OnDestroy();
  void OnMouseMove(Point screenPoint);
  void OnImageMouseDown() override;
  void OnImageClick() override;
  void OnImageMouseMove(Point screenPoint) override;
  void OnCoverKeyOrButton() override { End(); }
  void OnCoverMouseMove(Point screenPoint) override { OnMouseMove(screenPoint); }

  Platform& platform_;
  ShowSettings settings_;
  Form1Layout layout_ = DesignLayout();
  Panel3D* panYear_ = nullptr;
  Panel3D* SSPanel1_ = nullptr;
  ImageControl* Image1_ = nullptr;
  ImageControl* Image2_ = nullptr;
  std::unique_ptr<PhotoShow> photos_;
  std::vector<HWND> covers_;
  Monitors monitors_;  // as Form1 and the covers were laid out for them
  std::int16_t MoveCount = 0;
  std::int16_t ImageMoveCount = 0;
  PointerTracker pointer_;
  ForegroundRule foreground_;
  DisplayPower display_;
  unique_hpowernotify displayNotify_;
  WindowIcons icons_;
};

Form1& ShowForm1(HINSTANCE instance, Platform& platform);

}  // namespace salvanto::win
