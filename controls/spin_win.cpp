#include "controls/spin_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

namespace salvanto::win {

namespace {

constexpr UINT_PTR kRepeatTimer = 1;
constexpr UINT kFirstRepeatMs = 400;
constexpr UINT kRepeatMs = 80;

HWND CreateToolTip(HWND tool, const std::wstring& text) {
  static const bool ready = [] {
    INITCOMMONCONTROLSEX init{sizeof init, ICC_WIN95_CLASSES};
    return InitCommonControlsEx(&init) != FALSE;
  }();
  if (!ready || text.empty()) return nullptr;
  auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(tool, GWLP_HINSTANCE));
  HWND tip =
      CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, tool, nullptr, instance, nullptr);
  if (!tip) return nullptr;
  TTTOOLINFOW info{};
  info.cbSize = sizeof info;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = GetParent(tool);
  info.uId = reinterpret_cast<UINT_PTR>(tool);
  info.lpszText = const_cast<wchar_t*>(text.c_str());  // copied by the tooltip
  SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  return tip;
}

}  // namespace

SpinButton& SpinButton::Create(HWND parent, int id, SpinSettings settings, const PixelRect& rect) {
  return CreateChild(parent, kSpinClass, CS_HREDRAW | CS_VREDRAW, new SpinButton(std::move(settings)), L"",
                     WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS, rect, id);
}

void SpinButton::OnCreate() {
  // Without its tooltip the control still works: the hint is a courtesy.
  tooltip_ = CreateToolTip(hwnd(), settings_.ToolTip);
}

RECT SpinButton::ArrowRect(Arrow arrow) const {
  RECT client;
  GetClientRect(hwnd(), &client);
  const LONG middle = client.right / 2;
  if (arrow == Arrow::Down) return {0, 0, middle, client.bottom};
  return {middle, 0, client.right, client.bottom};
}

SpinButton::Arrow SpinButton::ArrowAt(LPARAM clientPoint) const {
  const POINT point{GET_X_LPARAM(clientPoint), GET_Y_LPARAM(clientPoint)};
  for (Arrow arrow : {Arrow::Down, Arrow::Up}) {
    const RECT rect = ArrowRect(arrow);
    if (PtInRect(&rect, point)) return arrow;
  }
  return Arrow::None;
}

void SpinButton::PaintArrow(HDC dc, RECT rect, Arrow arrow, bool pushed) {
  const int shift =
      DrawButtonFace(dc, rect, PartColour(settings_.BackColor, COLOR_BTNFACE), pushed, std::max(1, Scaled(2)), 1);

  if (GetFocus() == hwnd() && !focusHidden_) {
    // The dotted mark runs round the face, under the arrow.
    RECT mark = rect;
    OffsetRect(&mark, shift, shift);
    DrawFocusMark(dc, mark);
  }

  // A solid triangle pointing the way the delay goes: left for down, right for up.
  const int height = rect.bottom - rect.top;
  const int half = std::max(2, std::min(Scaled(4), (height - 3) / 2));  // half the base
  const int depth = half;                                               // tip to base
  const int cx = (rect.left + rect.right) / 2 + shift;
  const int cy = (rect.top + rect.bottom - 1) / 2 + shift;
  POINT points[3];
  if (arrow == Arrow::Down) {
    const int tip = cx - depth / 2 - 1;
    points[0] = {tip, cy};
    points[1] = {tip + depth, cy - half};
    points[2] = {tip + depth, cy + half};
  } else {
    const int tip = cx + depth / 2;
    points[0] = {tip, cy};
    points[1] = {tip - depth, cy - half};
    points[2] = {tip - depth, cy + half};
  }
  const COLORREF arrowColour = PartColour(settings_.ForeColor, COLOR_BTNTEXT);
  SetDCBrushColor(dc, arrowColour);
  SetDCPenColor(dc, arrowColour);
  select_object brush(dc, GetStockObject(DC_BRUSH));
  select_object pen(dc, GetStockObject(DC_PEN));
  Polygon(dc, points, 3);
}

void SpinButton::Paint(HDC target) {
  RECT client;
  GetClientRect(hwnd(), &client);
  offscreen_canvas dc(target, client);
  if (!dc) return;
  for (Arrow arrow : {Arrow::Down, Arrow::Up}) PaintArrow(dc.get(), ArrowRect(arrow), arrow, pushed_ == arrow);
}

void SpinButton::ShowPushed(Arrow arrow) {
  if (pushed_ == arrow) return;
  pushed_ = arrow;
  RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void SpinButton::Raise(Arrow arrow) {
  const WORD code = arrow == Arrow::Down ? kSpinDownEvent : kSpinUpEvent;
  SendMessageW(GetParent(hwnd()), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd()), code), reinterpret_cast<LPARAM>(hwnd()));
}

void SpinButton::StopRepeating() {
  KillTimer(hwnd(), kRepeatTimer);
  held_ = Arrow::None;
  ShowPushed(keyHeld_);
}

void SpinButton::OnLButtonDown(LPARAM point) {
  const Arrow arrow = ArrowAt(point);
  if (GetFocus() != hwnd()) SetFocus(hwnd());
  if (arrow == Arrow::None) return;
  SetCapture(hwnd());
  held_ = arrow;
  ShowPushed(arrow);
  Raise(arrow);
  SetTimer(hwnd(), kRepeatTimer, kFirstRepeatMs, nullptr);
}

void SpinButton::OnMouseMove(LPARAM point) {
  // While held, the arrow shows pushed only with the pointer over it, and
  // repeats only then.
  if (held_ != Arrow::None) ShowPushed(ArrowAt(point) == held_ ? held_ : keyHeld_);
}

void SpinButton::OnTimer() {
  if (held_ == Arrow::None) {
    KillTimer(hwnd(), kRepeatTimer);
    return;
  }
  SetTimer(hwnd(), kRepeatTimer, kRepeatMs, nullptr);
  if (pushed_ == held_) Raise(held_);
}

void SpinButton::OnKeyDown(WPARAM key) {
  Arrow arrow = Arrow::None;
  if (key == VK_DOWN || key == VK_LEFT) arrow = Arrow::Down;
  if (key == VK_UP || key == VK_RIGHT) arrow = Arrow::Up;
  if (arrow == Arrow::None) return;
  // The keyboard's own repeat steps again while the key is held.
  keyHeld_ = arrow;
  if (held_ == Arrow::None) ShowPushed(arrow);
  Raise(arrow);
}

void SpinButton::OnKeyUp(WPARAM key) {
  if (key == VK_DOWN || key == VK_LEFT || key == VK_UP || key == VK_RIGHT) {
    keyHeld_ = Arrow::None;
    if (held_ == Arrow::None) ShowPushed(Arrow::None);
  }
}

void SpinButton::SetValue(std::wstring value) {
  if (value == settings_.Value) return;
  settings_.Value = std::move(value);
  NotifyAccessible(hwnd(), EVENT_OBJECT_VALUECHANGE);
}

AccessibleElement SpinButton::Describe(long element) const {
  if (element == CHILDID_SELF) {
    AccessibleElement self{ROLE_SYSTEM_SPINBUTTON, settings_.ToolTip, STATE_SYSTEM_FOCUSABLE};
    self.value = settings_.Value;
    return self;
  }
  const Arrow arrow = element == 1 ? Arrow::Down : Arrow::Up;
  return {ROLE_SYSTEM_PUSHBUTTON, arrow == Arrow::Down ? settings_.DownName : settings_.UpName,
          pushed_ == arrow ? STATE_SYSTEM_PRESSED : 0, L"Press"};
}

bool SpinButton::DoDefaultAction(long element) {
  if (element == CHILDID_SELF) return false;
  Raise(element == 1 ? Arrow::Down : Arrow::Up);
  return true;
}

LRESULT SpinButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (auto painted = HandlePaint(message, wParam)) return *painted;
  if (auto answer = accessible_.HandleMessage(hwnd(), message, wParam, lParam)) return *answer;
  switch (message) {
    case WM_CREATE:
      OnCreate();
      focusHidden_ = (SendMessageW(hwnd(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) != 0;
      return 0;
    case WM_UPDATEUISTATE:
      focusHidden_ = FocusMarkHidden(focusHidden_, wParam);
      InvalidateRect(hwnd(), nullptr, FALSE);
      return Default(message, wParam, lParam);
    case WM_DESTROY:
      KillTimer(hwnd(), kRepeatTimer);
      if (tooltip_) DestroyWindow(std::exchange(tooltip_, nullptr));
      return 0;
    case WM_SETFOCUS:
      // The system raises EVENT_OBJECT_FOCUS on the client area, which is
      // this control's object: one of ours as well would be read twice.
      InvalidateRect(hwnd(), nullptr, FALSE);
      return 0;
    case WM_KILLFOCUS:
      keyHeld_ = Arrow::None;
      if (held_ == Arrow::None) ShowPushed(Arrow::None);
      InvalidateRect(hwnd(), nullptr, FALSE);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_LBUTTONDOWN:
      OnLButtonDown(lParam);
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(lParam);
      return 0;
    case WM_LBUTTONUP:
      if (held_ != Arrow::None) ReleaseCapture();
      return 0;
    case WM_CAPTURECHANGED:
      if (held_ != Arrow::None && reinterpret_cast<HWND>(lParam) != hwnd()) StopRepeating();
      return 0;
    case WM_CANCELMODE:
      if (held_ != Arrow::None) ReleaseCapture();
      return 0;
    case WM_TIMER:
      if (wParam == kRepeatTimer) OnTimer();
      return 0;
    case WM_KEYDOWN:
      OnKeyDown(wParam);
      return 0;
    case WM_KEYUP:
      OnKeyUp(wParam);
      return 0;
    default:
      return Default(message, wParam, lParam);
  }
}

}  // namespace salvanto::win
