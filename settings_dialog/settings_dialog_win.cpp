#include "settings_dialog/settings_dialog_win.h"

#include <string>

#include "assets/resource.h"
#include "base/twips.h"
#include "controls/button3d_win.h"
#include "controls/image_win.h"
#include "controls/label_win.h"
#include "controls/panel3d_win.h"
#include "controls/spin_win.h"
#include "framework/window.h"
#include "pictures/picture_win.h"
#include "settings_dialog/delay.h"
#include "settings_dialog/dialog_design.h"
#include "settings_dialog/dialog_focus.h"

namespace salvanto::win {
namespace {

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;

// The one dialog of the run, for the message loop's keyboard handling.
HWND g_dialog = nullptr;

class SettingsDialog final : public Window<SettingsDialog> {
public:
  SettingsDialog(Platform& platform, std::int32_t delayMs) : editor_(platform, delayMs) {}

  // delay: what the delay display shows.
  void CreateControls(const std::wstring& delay);
  // The frame's size around the design's client area at a density.
  SIZE FrameSize(int dpi) const;
  void ShowIcons() { icons_.Set(hwnd(), Dpi()); }
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
  void OnCommand(int id, WORD code);
  void OnActivate(bool active);
  void OnNextControl(WPARAM which, bool isHandle);
  void OnDpiChanged(const RECT& suggested);

  DelayEditor editor_;
  Panel3D* pnlSSaver_ = nullptr;
  Panel3D* panInterval_ = nullptr;
  SpinButton* spinInterval_ = nullptr;
  WindowIcons icons_;
  HWND focus_ = nullptr;  // the control that gets the focus back when the dialog is active again
};

SIZE SettingsDialog::FrameSize(int dpi) const {
  const PixelRect client = ToPixels(kClientArea, TwipsPerPixel(dpi));
  RECT frame{0, 0, client.width(), client.height()};
  AdjustWindowRectExForDpi(&frame, kStyle, FALSE, kExStyle, static_cast<UINT>(dpi));
  return {frame.right - frame.left, frame.bottom - frame.top};
}

void SettingsDialog::CreateControls(const std::wstring& delay) {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd(), GWLP_HINSTANCE));
  pnlSSaver_ = &Panel3D::Create(hwnd(), kIdPnlSSaver, PnlSSaverSettings(), Pixels(kPnlSSaver));
  HWND panel = pnlSSaver_->hwnd();
  // Tab and the arrow keys go into the panel to reach the controls in it.
  SetWindowLongPtrW(panel, GWL_EXSTYLE, GetWindowLongPtrW(panel, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);

  // Created in tab order: the dialog keyboard follows the order of creation.
  Button3D& set = Button3D::Create(panel, kIdSSCommand4Set, SSCommand4Settings(), Pixels(kSSCommand4));
  Button3D::Create(panel, kIdSSCommand5Help, SSCommand5Settings(), Pixels(kSSCommand5));
  Button3D::Create(panel, kIdSSCommand6Exit, SSCommand6Settings(), Pixels(kSSCommand6));
  spinInterval_ = &SpinButton::Create(panel, kIdSpinInterval, SpinIntervalSettings(delay), Pixels(kSpinInterval));
  focus_ = set.hwnd();

  panInterval_ = &Panel3D::Create(panel, kIdPanInterval, PanIntervalSettings(delay), Pixels(kPanInterval));
  Label::Create(panel, kIdLabel9, Label9Settings(), Pixels(kLabel9));
  Label::Create(panel, kIdLabel8, Label8Settings(), Pixels(kLabel8));
  Label::Create(panel, kIdLabel7, Label7Settings(), Pixels(kLabel7));

  // The photograph at its own size: 350 x 146 pixels at 96 DPI, and its
  // size in twips at any other density.
  const PixelRect imageRect = Pixels(kImage2);
  ImageControl& image = ImageControl::Create(panel, kIdDialogImage2, imageRect);
  image.SetDescription(std::wstring(kImage2Description));
  const SIZE target = Dpi() == 96 ? SIZE{0, 0} : SIZE{imageRect.width(), imageRect.height()};
  image.SetPicture(LoadPictureResource(instance, IDR_DIALOG_PHOTO, target));
  if (image.HasPicture()) {
    image.SizeToPicture();
  } else {
    ShowWindow(image.hwnd(), SW_HIDE);  // no black box where the picture would be
  }
  // Neither the display nor the photograph takes the focus, also not by the
  // arrow keys, which move among the enabled controls of the panel.
  EnableWindow(panInterval_->hwnd(), FALSE);
  EnableWindow(image.hwnd(), FALSE);
}

void SettingsDialog::OnCommand(int id, WORD code) {
  if (const auto delay = editor_.Command(id, code)) {
    panInterval_->SetCaption(*delay);
    spinInterval_->SetValue(*delay);
  }
}

void SettingsDialog::OnActivate(bool active) {
  if (!active) {
    focus_ = FocusToKeep(GetFocus(), IsChild(hwnd(), GetFocus()) != FALSE, focus_);
    return;
  }
  if (focus_ && IsWindow(focus_)) SetFocus(focus_);
}

void SettingsDialog::OnDpiChanged(const RECT& suggested) {
  // Made again from the design at the new density, as at load, keeping what
  // the user sees: the delay display and which control has the focus.
  const std::wstring delay = panInterval_->Caption();
  HWND focus = FocusToKeep(GetFocus(), IsChild(hwnd(), GetFocus()) != FALSE, focus_);
  const int focusId = focus ? GetDlgCtrlID(focus) : 0;
  SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  ShowIcons();
  DestroyWindow(pnlSSaver_->hwnd());
  CreateControls(delay);
  if (HWND again = focusId ? GetDlgItem(pnlSSaver_->hwnd(), focusId) : nullptr) focus_ = again;
  if (GetActiveWindow() == hwnd() && focus_) SetFocus(focus_);
}

void SettingsDialog::OnNextControl(WPARAM which, bool isHandle) {
  HWND next = isHandle ? reinterpret_cast<HWND>(which) : GetNextDlgTabItem(hwnd(), GetFocus(), which != 0);
  if (TakesTabFocus(IsChild(hwnd(), next), IsWindowEnabled(next), IsWindowVisible(next),
                    (GetWindowLongPtrW(next, GWL_STYLE) & WS_TABSTOP) != 0)) {
    SetFocus(next);
  }
}

LRESULT SettingsDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (lParam) OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_ACTIVATE:
      OnActivate(LOWORD(wParam) != WA_INACTIVE);
      return 0;
    case WM_SETFOCUS:
      if (focus_ && IsWindow(focus_)) SetFocus(focus_);
      return 0;
    case WM_GETDPISCALEDSIZE:
      // The frame does not grow in step with the density: the size that
      // keeps the design's client area, so that WM_DPICHANGED's is exact.
      *reinterpret_cast<SIZE*>(lParam) = FrameSize(static_cast<int>(wParam));
      return TRUE;
    case WM_DPICHANGED:
      OnDpiChanged(*reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_ENABLE:
      // A modal box (Help's) opened or closed: the controls take input no
      // longer or again.
      NotifyInputChanged(hwnd());
      return 0;
    case WM_NEXTDLGCTL:
      OnNextControl(wParam, LOWORD(lParam) != 0);
      return 0;
    case WM_SETTINGCHANGE:  // high contrast on or off
    case WM_SYSCOLORCHANGE:
      RedrawInNewColours(hwnd());
      return Default(message, wParam, lParam);
    case WM_DESTROY:
      // Closed from the frame: nothing is saved, and the program ends.
      g_dialog = nullptr;
      PostQuitMessage(0);
      return 0;
    default:
      return Default(message, wParam, lParam);
  }
}

}  // namespace

void ShowSettingsDialog(HINSTANCE instance, Platform& platform, std::int32_t delayMs) {
  SettingsDialog::Register(instance, kSettingsClass, 0, GetSysColorBrush(COLOR_BTNFACE), ProgramIcon(instance, 32));
  auto* dialog = new SettingsDialog(platform, delayMs);
  HWND window = CreateWindowExW(kExStyle, kSettingsClass, std::wstring(kDialogTitle).c_str(), kStyle, 0, 0, 0, 0,
                                nullptr, nullptr, instance, dialog);
  if (!window) throw RuntimeError(ErrorKind::InvalidPropertyValue, L"The settings window could not be created.");
  g_dialog = window;
  // Centred; on a screen smaller than the dialog the title bar stays on it.
  const SIZE frame = dialog->FrameSize(dialog->Dpi());
  SetWindowPos(window, nullptr, CentredEdge(GetSystemMetrics(SM_CXSCREEN), frame.cx),
               CentredEdge(GetSystemMetrics(SM_CYSCREEN), frame.cy), frame.cx, frame.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  // The help box belongs to the dialog, so that the dialog takes no input
  // while it is open, however the click reached the button.
  TheMessageBoxes().SetOwner(window);
  dialog->ShowIcons();
  // As the system's dialogs: focus marks hidden until the keyboard is used,
  // where the user's settings say so.
  SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
  dialog->CreateControls(std::wstring(kOpeningCaption));
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  SetForegroundWindow(window);
}

bool PreTranslateDialogMessage(MSG& msg) {
  if (!g_dialog || (msg.hwnd != g_dialog && !IsChild(g_dialog, msg.hwnd))) return false;
  // The keyboard is in use: from now on the focus shows where it is.
  if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
    SendMessageW(g_dialog, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  }
  return IsDialogMessageW(g_dialog, &msg) != FALSE;
}

}  // namespace salvanto::win
