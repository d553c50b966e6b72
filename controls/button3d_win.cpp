#include "controls/button3d_win.h"

#include <windowsx.h>

#include <algorithm>

namespace salvanto::win {

Button3D& Button3D::Create(HWND parent, int id, ButtonSettings settings, const PixelRect& rect) {
  auto* button = new Button3D(std::move(settings));
  return CreateChild(parent, kCommandClass, CS_HREDRAW | CS_VREDRAW, button, button->settings_.Caption.c_str(),
                     WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS, rect, id);
}

void Button3D::Paint(HDC target) {
  const PixelRect client = ClientPixels();
  offscreen_canvas dc(target, client);
  if (!dc) return;

  // Two pixels of bevel at rest; pushed in, the caption moves along.
  Fills fills;
  PixelRect inside = client;
  const int shift = AddButtonFace(fills, inside, input_.Pressed(), std::max(1, Scaled(2)), std::max(1, Scaled(1)));
  PaintFills(dc.get(), fills, GetSysColor(COLOR_BTNFACE));
  DrawCaption(dc.get(), settings_.Caption, Shifted(inside, shift), font_.get(),
              PartColour(settings_.ForeColor, COLOR_BTNTEXT), DT_CENTER | DT_VCENTER | DT_SINGLELINE);

  if (input_.state.FocusMarkShows(HasFocus())) {
    // The dotted mark sits inside the bevel with a pixel of face around it.
    DrawFocusMark(dc.get(), Shifted(Inset(inside, std::max(1, Scaled(2))), shift));
  }
}

bool Button3D::Over(LPARAM clientPoint) const {
  return ClientPixels().Contains(GET_X_LPARAM(clientPoint), GET_Y_LPARAM(clientPoint));
}

LRESULT Button3D::OnGetDlgCode(const MSG* msg) {
  LRESULT code = DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
  if (msg && (msg->message == WM_KEYDOWN || msg->message == WM_KEYUP) &&
      ButtonInput::OwnsKey(static_cast<unsigned>(msg->wParam))) {
    code |= DLGC_WANTMESSAGE;
  }
  return code;
}

bool Button3D::DoDefaultAction(long /*element*/) {
  // Posted, as the system's own buttons do: the click may open a modal box
  // or end the program, and the screen reader must not wait for either.
  return PostMessageW(hwnd(), BM_CLICK, 0, 0) != FALSE;
}

LRESULT Button3D::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (auto painted = HandlePaint(message, wParam)) return *painted;
  if (auto answer = accessible_.HandleMessage(hwnd(), message, wParam, lParam)) return *answer;
  const auto apply = [this](const InputAnswer& answer) { Apply(answer); };
  if (auto answer = HandlePushMessage(hwnd(), input_, apply, message, wParam, lParam)) return *answer;
  switch (message) {
    case WM_CREATE:
      OnDpiChanged();
      return 0;
    case WM_GETDLGCODE:
      return OnGetDlgCode(reinterpret_cast<const MSG*>(lParam));
    case WM_LBUTTONDOWN:
      Apply(input_.MouseDown());
      return 0;
    case WM_MOUSEMOVE:
      Apply(input_.MouseMove(Over(lParam)));
      return 0;
    case WM_LBUTTONUP:
      Apply(input_.MouseUp(Over(lParam)));
      return 0;
    case WM_KEYDOWN:
      Apply(input_.KeyDown(static_cast<unsigned>(wParam), static_cast<std::uint32_t>(lParam)));
      return 0;
    case BM_CLICK:
      Apply(input_.Click());
      return 0;
    case WM_ENABLE:
      InvalidateRect(hwnd(), nullptr, FALSE);
      return 0;
    default:
      return Default(message, wParam, lParam);
  }
}

}  // namespace salvanto::win
