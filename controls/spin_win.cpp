#include "controls/spin_win.h"

#include <commctrl.h>

#include <algorithm>

namespace salvanto::win {

namespace {

constexpr UINT_PTR kRepeatTimer = 1;

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

void SpinButton::PaintArrow(HDC dc, const PixelRect& part, int arrow) {
  Fills fills;
  PixelRect face = part;
  const int shift = AddButtonFace(fills, face, input_.state.Pushed() == arrow, std::max(1, Scaled(2)), 1);
  PaintFills(dc, fills, PartColour(settings_.BackColor, COLOR_BTNFACE));
  // The dotted mark runs round the face, under the arrow.
  if (input_.state.FocusMarkShows(HasFocus())) DrawFocusMark(dc, Shifted(face, shift));

  // A solid triangle pointing the way the delay goes: left for down, right for up.
  const auto corners = ArrowTriangle(face, arrow == SpinInput::kDown, shift, Scaled(4));
  const POINT points[] = {{corners[0].x, corners[0].y}, {corners[1].x, corners[1].y}, {corners[2].x, corners[2].y}};
  const COLORREF arrowColour = PartColour(settings_.ForeColor, COLOR_BTNTEXT);
  SetDCBrushColor(dc, arrowColour);
  SetDCPenColor(dc, arrowColour);
  select_object brush(dc, GetStockObject(DC_BRUSH));
  select_object pen(dc, GetStockObject(DC_PEN));
  Polygon(dc, points, 3);
}

void SpinButton::Paint(HDC target) {
  offscreen_canvas dc(target, ClientPixels());
  if (!dc) return;
  for (int arrow : {SpinInput::kDown, SpinInput::kUp}) PaintArrow(dc.get(), PartRect(arrow), arrow);
}

void SpinButton::Apply(const InputAnswer& answer) {
  static constexpr WORD kEvents[] = {SpinInput::kDownEvent, SpinInput::kUpEvent};
  CarryOut(hwnd(), answer, kEvents, kRepeatTimer);
}

void SpinButton::SetValue(std::wstring value) {
  if (value == settings_.Value) return;
  settings_.Value = std::move(value);
  NotifyAccessible(hwnd(), EVENT_OBJECT_VALUECHANGE);
}

bool SpinButton::DoDefaultAction(long element) {
  if (element == CHILDID_SELF) return false;
  Apply({.raise = static_cast<int>(element)});
  return true;
}

LRESULT SpinButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (auto painted = HandlePaint(message, wParam)) return *painted;
  if (auto answer = accessible_.HandleMessage(hwnd(), message, wParam, lParam)) return *answer;
  const auto apply = [this](const InputAnswer& answer) { Apply(answer); };
  if (auto answer = HandlePushMessage(hwnd(), input_, apply, message, wParam, lParam)) return *answer;
  switch (message) {
    case WM_CREATE:
      OnCreate();
      return 0;
    case WM_DESTROY:
      KillTimer(hwnd(), kRepeatTimer);
      if (tooltip_) DestroyWindow(std::exchange(tooltip_, nullptr));
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_LBUTTONDOWN:
      Apply(input_.MouseDown(ArrowAt(lParam)));
      return 0;
    case WM_MOUSEMOVE:
      Apply(input_.MouseMove(ArrowAt(lParam)));
      return 0;
    case WM_LBUTTONUP:
    case WM_CANCELMODE:
      Apply(input_.MouseUp());
      return 0;
    case WM_TIMER:
      if (wParam == kRepeatTimer) Apply(input_.Timer());
      return 0;
    case WM_KEYDOWN:
      Apply(input_.KeyDown(static_cast<unsigned>(wParam)));
      return 0;
    default:
      return Default(message, wParam, lParam);
  }
}

}  // namespace salvanto::win
