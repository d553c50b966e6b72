#include "slideshow/form1_win.h"

#include "assets/resource.h"
#include "framework/test_hooks.h"
#include "pictures/picture_win.h"

namespace salvanto::win {
namespace {

constexpr UINT_PTR kTimer1 = 1;
constexpr UINT_PTR kMonitorCheck = 2;  // every kMonitorCheckMs

POINT CursorNow() {
  POINT point{};
  GetCursorPos(&point);
  return point;
}

// Every monitor's area, in the desktop's pixels, and its density.
Monitors MonitorsNow() {
  Monitors monitors;
  EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR monitor, HDC, RECT* area, LPARAM found) -> BOOL {
        auto& all = *reinterpret_cast<Monitors*>(found);
        all.areas.push_back({area->left, area->top, area->right, area->bottom});
        all.dpis.push_back(DpiOfMonitor(monitor));
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

}  // namespace

Form1::Form1(Platform& platform, POINT cursor) : platform_(platform), pointer_(cursor.x, cursor.y) {}

Form1& ShowForm1(HINSTANCE instance, Platform& platform) {
  Form1::Register(instance, kForm1Class, 0, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)),
                  ProgramIcon(instance, 32));
  auto* form = new Form1(platform, CursorNow());
  // Created hidden: the load handling runs before the window first shows.
  HWND window =
      CreateWindowExW(WS_EX_TOPMOST, kForm1Class, L"", WS_POPUP | WS_CLIPCHILDREN, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                      GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, instance, form);
  if (!window) throw RuntimeError(ErrorKind::InvalidPropertyValue, L"The slideshow window could not be created.");
  form->icons_.Set(window, form->Dpi());
  TheMessageBoxes().SetOwner(window);
  form->CreateControls();
  form->Load();
  ShowWindow(window, SW_SHOWMAXIMIZED);
  UpdateWindow(window);
  form->CoverOtherMonitors(MonitorsNow());
  form->FollowDisplayPower();
  SetForegroundWindow(window);
  SetFocus(window);
  return *form;
}

void Form1::CreateControls() {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd(), GWLP_HINSTANCE));
  panYear_ = &Panel3D::Create(hwnd(), kIdPanYear, PanYearSettings(), Pixels(layout_.panYear), false);
  SSPanel1_ = &Panel3D::Create(hwnd(), kIdSSPanel1, SSPanel1Settings(), Pixels(layout_.SSPanel1));
  Image1_ = &ImageControl::Create(SSPanel1_->hwnd(), kIdImage1, Pixels(layout_.Image1), this);
  Image2_ = &ImageControl::Create(hwnd(), kIdImage2, Pixels(layout_.Image2));
  // Timer1 runs from creation at its design interval until Load sets the stored one.
  SetTimerInterval(1000);

  Image1_->SetPicture(LoadPictureResource(instance, IDR_SAMPLE_PHOTO, Image1_->ClientSize()));
  LoadBanner();
}

void Form1::LoadBanner() {
  // The banner keeps its size in twips, so at densities above 96 DPI its
  // pixels are scaled up like every other control's; the control then
  // takes the picture's size.
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd(), GWLP_HINSTANCE));
  const PixelRect banner = Pixels(DesignLayout().Image2);
  Image2_->SetPicture(LoadPictureResource(instance, IDR_BANNER, {banner.width(), banner.height()}));
  Image2_->SizeToPicture();
}

void Form1::SetTimerInterval(std::int32_t milliseconds) {
  KillTimer(hwnd(), kTimer1);
  if (milliseconds > 0 && !SetTimer(hwnd(), kTimer1, static_cast<UINT>(milliseconds), nullptr)) {
    throw RuntimeError(ErrorKind::InvalidPropertyValue,
                       L"The timer refused a period of " + std::to_wstring(milliseconds) + L" ms.");
  }
  SetPropW(hwnd(), kTimerIntervalProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(milliseconds)));
}

void Form1::CoverScreen() {
  // The window at the screen's origin, maximised over the whole screen.
  SetWindowPos(hwnd(), nullptr, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form1::PlaceControls() {
  const Form1Pixels at = PlacedControls(layout_, TwipsPerPixel(Dpi()));
  const auto place = [this](auto& control, const PixelRect& rect) {
    control.SetDpi(Dpi());
    SetWindowPos(control.hwnd(), nullptr, rect.left, rect.top, rect.width(), rect.height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  };
  place(*panYear_, at.panYear);
  place(*SSPanel1_, at.SSPanel1);
  place(*Image1_, at.Image1);
  place(*Image2_, at.Image2);
}

void Form1::Load() {
  settings_.IntervalSeconds = ReadIntervalSeconds(platform_.store, platform_.text);
  SetTimerInterval(TimerPeriodMs(settings_.IntervalSeconds));
  settings_.PhotoDir = ReadPhotoDir(platform_.store, platform_.text);
  Win32Screen screen(Dpi());
  layout_ = LoadLayout(screen);
  CoverScreen();
  PlaceControls();
  photos_ = std::make_unique<PhotoShow>(platform_, settings_, *Image1_, *panYear_, hwnd());
}

void Form1::LayOutForScreen() {
  // Laid out again as at load, for the screen and the density as they are
  // now. Each control goes straight to its place and size, and Form1 takes
  // the new screen last: it never covers it with a control out of place.
  // The photo on show is stretched to its frame until the next tick brings
  // one at the new size.
  Win32Screen screen(Dpi());
  layout_ = LoadLayout(screen);
  PlaceControls();
  LoadBanner();
  if (photos_) photos_->FrameChanged();
  icons_.Set(hwnd(), Dpi());
  CoverScreen();
}

void Form1::CoverOtherMonitors(Monitors monitors) {
  for (HWND cover : covers_) DestroyWindow(cover);
  covers_.clear();
  monitors_ = std::move(monitors);
  RECT form{};
  GetWindowRect(hwnd(), &form);
  for (const PixelRect& monitor : MonitorsToCover(monitors_.areas, {form.left, form.top, form.right, form.bottom})) {
    covers_.push_back(Cover::Create(hwnd(), monitor, *this).hwnd());
  }
  SetTimer(hwnd(), kMonitorCheck, kMonitorCheckMs, nullptr);
}

void Form1::OnMonitorCheck() {
  // One check for Form1 and the covers alike: a change of any monitor's
  // size, place or density is a change of the screen.
  if (MonitorsNow() != monitors_) OnDisplayChanged();
}

void Form1::OnDisplayChanged() {
  // The monitors are read before Form1 is laid out for them: a screen that
  // changes again meanwhile still differs from them at the next check.
  Monitors monitors = MonitorsNow();
  // Not every system tells a window that its monitor's density changed.
  SetDpi(DpiOfWindow(hwnd()));
  LayOutForScreen();
  CoverOtherMonitors(std::move(monitors));
}

void Form1::FollowDisplayPower() {
  // The session's own display, not the console's: a remote session goes
  // on while the console's monitor sleeps. Where the platform has no such
  // report the registration stays empty, and the display counts as on for
  // the whole show.
  displayNotify_.reset(
      RegisterPowerSettingNotification(hwnd(), &GUID_SESSION_DISPLAY_STATUS, DEVICE_NOTIFY_WINDOW_HANDLE));
}

void Form1::OnPowerBroadcast(WPARAM event, LPARAM data) {
  if (event != PBT_POWERSETTINGCHANGE || !data) return;
  const auto& setting = *reinterpret_cast<const POWERBROADCAST_SETTING*>(data);
  if (!IsEqualGUID(setting.PowerSetting, GUID_SESSION_DISPLAY_STATUS)) return;
  display_.Report({setting.Data, setting.DataLength});
  if (photos_) photos_->Rest(display_.Resting());
}

void Form1::SetYearVisible(bool visible) { ShowWindow(panYear_->hwnd(), visible ? SW_SHOWNA : SW_HIDE); }

void Form1::End() { EndScreenSaver(platform_.cursor, platform_.end); }

void Form1::OnMouseMove(Point screenPoint) {
  if (pointer_.Moved(screenPoint.x, screenPoint.y) && ApplyMoveRule(MoveCount) == MoveVerdict::End) End();
}

void Form1::OnImageMouseMove(Point screenPoint) {
  if (pointer_.Moved(screenPoint.x, screenPoint.y) && ApplyMoveRule(ImageMoveCount) == MoveVerdict::End) End();
}

void Form1::OnImageMouseDown() { End(); }
void Form1::OnImageClick() { End(); }

void Form1::CloseHandler() { SetCursorVisible(platform_.cursor, true); }

void Form1::OnClose() {
  CloseHandler();  // QueryUnload
  CloseHandler();  // Unload
  DestroyWindow(hwnd());
}

// The session ends: the window is unloaded like any closed one (its
// QueryUnload ran at WM_QUERYENDSESSION).
void Form1::OnEndSession(bool ending) {
  if (!ending) return;
  CloseHandler();
  DestroyWindow(hwnd());
}

void Form1::OnGetMinMaxInfo(MINMAXINFO& info) {
  // Maximised means the whole screen, not the work area.
  info.ptMaxPosition = {0, 0};
  info.ptMaxSize = {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  info.ptMaxTrackSize = info.ptMaxSize;
}

void Form1::OnTimer(UINT_PTR timer) {
  if (timer == kMonitorCheck) OnMonitorCheck();
  // No timer reaches a window under the box of a fatal error (Window).
  if (timer == kTimer1 && photos_) photos_->Tick();
}

void Form1::OnPhotoLoaded() {
  // Under the box of a fatal error nothing new goes up: the error ends the program.
  if (photos_ && !IsEnding()) photos_->Complete();
}

void Form1::OnActivate(bool active) {
  if (active) foreground_.Activated();
}

// No other screen saver starts over this one.
bool Form1::OnSysCommand(WPARAM command) { return TakesSystemCommand(static_cast<unsigned>(command)); }

void Form1::OnActivateApp(bool active) {
  // The system sends it to each of the program's top-level windows (the
  // covers and boxes too) only when the foreground leaves the program's
  // one window thread: activation between its own windows never brings it.
  // Under a fatal error's box the error's own end stands.
  if (!active && !IsEnding() &&
      foreground_.LostToAnotherProgram(IsWindowVisible(hwnd()) != FALSE) == MoveVerdict::End) {
    End();
  }
}

void Form1::OnDestroy() {
  displayNotify_.reset();
  KillTimer(hwnd(), kTimer1);
  KillTimer(hwnd(), kMonitorCheck);
  RemovePropW(hwnd(), kTimerIntervalProperty);
  PostQuitMessage(0);
}

LRESULT Form1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  // A key or a mouse button on Form1's surface ends the show.
  if (IsKeyOrButtonDown(message)) End();
  switch (message) {
    case WM_GETMINMAXINFO:
      OnGetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam));
      return 0;
    case WM_TIMER:
      OnTimer(wParam);
      return 0;
    case PhotoShow::kPhotoLoaded:
      OnPhotoLoaded();
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(ScreenPoint(hwnd(), lParam));
      return 0;
    case WM_ACTIVATE:
      OnActivate(LOWORD(wParam) != WA_INACTIVE);
      return Default(message, wParam, lParam);
    case WM_ACTIVATEAPP:
      OnActivateApp(wParam != FALSE);
      return 0;
    case WM_POWERBROADCAST:
      OnPowerBroadcast(wParam, lParam);
      return TRUE;
    case WM_DISPLAYCHANGE:
      OnDisplayChanged();
      return 0;
    case WM_DPICHANGED:
      LayOutForScreen();
      return 0;
    case WM_SETTINGCHANGE:  // high contrast on or off
    case WM_SYSCOLORCHANGE:
      RedrawInNewColours(hwnd());
      return Default(message, wParam, lParam);
    case WM_SYSCOMMAND:
      return OnSysCommand(wParam) ? Default(message, wParam, lParam) : 0;
    case WM_QUERYENDSESSION:
      CloseHandler();
      return TRUE;
    case WM_ENDSESSION:
      OnEndSession(wParam != FALSE);
      return 0;
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    default:
      return Default(message, wParam, lParam);
  }
}

}  // namespace salvanto::win
