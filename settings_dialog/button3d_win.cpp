#include "settings_dialog/button3d_win.h"

#include <algorithm>

namespace salvanto::win {

Button3D& Button3D::Create(HWND parent, int id, ButtonSettings settings, const PixelRect& rect) {
  auto* button = new Button3D(std::move(settings));
  button->dpi_ = DisplayDpi();
  button->font_ = MakeFont(button->settings_.Font, button->dpi_);
  return CreateChild(parent, kCommandClass, CS_HREDRAW | CS_VREDRAW, button, button->settings_.Caption.c_str(),
                     WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS, rect, id);
}

void Button3D::Paint(HDC target) {
  RECT client;
  GetClientRect(hwnd(), &client);
  offscreen_canvas dc(target, client);
  if (!dc) return;

  // Two pixels of bevel at rest; pushed in, the caption moves along.
  RECT inside = client;
  const int shift =
      DrawButtonFace(dc.get(), inside, GetSysColor(COLOR_BTNFACE), pressed_, std::max(1, Scaled(2)), std::max(1, Scaled(1)));

  const std::wstring caption = settings_.Caption;
  RECT text = inside;
  OffsetRect(&text, shift, shift);
  {
    select_object useFont(dc.get(), font_.get());
    SetBkMode(dc.get(), TRANSPARENT);
    SetTextColor(dc.get(), ResolveColour(settings_.ForeColor));
    DrawTextW(dc.get(), caption.c_str(), static_cast<int>(caption.size()), &text,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }

  if (GetFocus() == hwnd()) {
    // The dotted mark sits inside the bevel with a pixel of face around it.
    RECT mark = inside;
    InflateRect(&mark, -std::max(1, Scaled(2)), -std::max(1, Scaled(2)));
    OffsetRect(&mark, shift, shift);
    if (mark.right > mark.left && mark.bottom > mark.top) {
      SetTextColor(dc.get(), RGB(0, 0, 0));
      SetBkColor(dc.get(), RGB(255, 255, 255));
      DrawFocusRect(dc.get(), &mark);
    }
  }
}

void Button3D::ShowPressed(bool pressed) {
  if (pressed_ == pressed) return;
  pressed_ = pressed;
  RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void Button3D::Click() {
  // The button is drawn released before the parent acts, which may open a
  // modal box or end the program.
  ShowPressed(false);
  const int id = GetDlgCtrlID(hwnd());
  SendMessageW(GetParent(hwnd()), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(hwnd()));
}

bool Button3D::Contains(LPARAM clientPoint) const {
  RECT client;
  GetClientRect(hwnd(), &client);
  const POINT point{static_cast<short>(LOWORD(clientPoint)), static_cast<short>(HIWORD(clientPoint))};
  return PtInRect(&client, point) != FALSE;
}

void Button3D::OnLButtonDown() {
  if (GetFocus() != hwnd()) SetFocus(hwnd());
  SetCapture(hwnd());
  mouseHeld_ = true;
  ShowPressed(true);
}

void Button3D::OnMouseMove(LPARAM point) {
  if (mouseHeld_) ShowPressed(Contains(point) || spaceHeld_);
}

void Button3D::OnLButtonUp(LPARAM point) {
  if (!mouseHeld_) return;
  const bool inside = Contains(point);
  ReleaseCapture();  // OnLostInput by WM_CAPTURECHANGED clears the held state
  mouseHeld_ = false;
  if (inside) {
    spaceHeld_ = false;
    Click();
  } else {
    ShowPressed(spaceHeld_);
  }
}

void Button3D::OnKeyDown(WPARAM key, LPARAM flags) {
  const bool repeat = (flags & (1 << 30)) != 0;
  if (key == VK_SPACE && !repeat && !mouseHeld_) {
    spaceHeld_ = true;
    ShowPressed(true);
  } else if (key == VK_RETURN && !repeat) {
    // A held Enter would close the box a click may open, then click again.
    Click();
  }
}

void Button3D::OnKeyUp(WPARAM key) {
  if (key == VK_SPACE && spaceHeld_) {
    spaceHeld_ = false;
    Click();
  }
}

void Button3D::OnLostInput() {
  if (mouseHeld_ && GetCapture() != hwnd()) mouseHeld_ = false;
  ShowPressed(mouseHeld_ || spaceHeld_);
}

LRESULT Button3D::OnGetDlgCode(const MSG* msg) {
  LRESULT code = DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
  // Enter belongs to the focused button, not to the dialog's default.
  if (msg && (msg->message == WM_KEYDOWN || msg->message == WM_KEYUP) && msg->wParam == VK_RETURN) {
    code |= DLGC_WANTMESSAGE;
  }
  return code;
}

LRESULT Button3D::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (auto painted = HandlePaint(message, wParam)) return *painted;
  switch (message) {
    case WM_SETFOCUS:
      InvalidateRect(hwnd(), nullptr, FALSE);
      return 0;
    case WM_KILLFOCUS:
      spaceHeld_ = false;
      OnLostInput();
      InvalidateRect(hwnd(), nullptr, FALSE);
      return 0;
    case WM_GETDLGCODE:
      return OnGetDlgCode(reinterpret_cast<const MSG*>(lParam));
    case WM_LBUTTONDOWN:
      OnLButtonDown();
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(lParam);
      return 0;
    case WM_LBUTTONUP:
      OnLButtonUp(lParam);
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != hwnd()) {
        mouseHeld_ = false;
        OnLostInput();
      }
      return 0;
    case WM_KEYDOWN:
      OnKeyDown(wParam, lParam);
      return 0;
    case WM_KEYUP:
      OnKeyUp(wParam);
      return 0;
    case BM_CLICK:
      Click();
      return 0;
    case WM_ENABLE:
      InvalidateRect(hwnd(), nullptr, FALSE);
      return 0;
    default:
      return Default(message, wParam, lParam);
  }
}

}  // namespace salvanto::win
