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
  RECT client;
  GetClientRect(hwnd(), &client);
  offscreen_canvas dc(target, client);
  if (!dc) return;

  // Two pixels of bevel at rest; pushed in, the caption moves along.
  RECT inside = client;
  const int shift = DrawButtonFace(dc.get(), inside, GetSysColor(COLOR_BTNFACE), pressed_, std::max(1, Scaled(2)),
                                   std::max(1, Scaled(1)));

  RECT text = inside;
  OffsetRect(&text, shift, shift);
  DrawCaption(dc.get(), settings_.Caption, text, font_.get(), PartColour(settings_.ForeColor, COLOR_BTNTEXT),
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);

  if (GetFocus() == hwnd() && !focusHidden_) {
    // The dotted mark sits inside the bevel with a pixel of face around it.
    RECT mark = inside;
    InflateRect(&mark, -std::max(1, Scaled(2)), -std::max(1, Scaled(2)));
    OffsetRect(&mark, shift, shift);
    DrawFocusMark(dc.get(), mark);
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
  const POINT point{GET_X_LPARAM(clientPoint), GET_Y_LPARAM(clientPoint)};
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
  const bool repeat = (HIWORD(flags) & KF_REPEAT) != 0;
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

AccessibleElement Button3D::Describe(long /*element*/) const {
  return {ROLE_SYSTEM_PUSHBUTTON, settings_.Caption, STATE_SYSTEM_FOCUSABLE | (pressed_ ? STATE_SYSTEM_PRESSED : 0),
          L"Press"};
}

bool Button3D::DoDefaultAction(long /*element*/) {
  // Posted, as the system's own buttons do: the click may open a modal box
  // or end the program, and the screen reader must not wait for either.
  return PostMessageW(hwnd(), BM_CLICK, 0, 0) != FALSE;
}

LRESULT Button3D::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (auto painted = HandlePaint(message, wParam)) return *painted;
  if (auto answer = accessible_.HandleMessage(hwnd(), message, wParam, lParam)) return *answer;
  switch (message) {
    case WM_CREATE:
      OnDpiChanged();
      focusHidden_ = (SendMessageW(hwnd(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) != 0;
      return 0;
    case WM_UPDATEUISTATE:
      focusHidden_ = FocusMarkHidden(focusHidden_, wParam);
      InvalidateRect(hwnd(), nullptr, FALSE);
      return Default(message, wParam, lParam);
    case WM_SETFOCUS:
      // The system raises EVENT_OBJECT_FOCUS on the client area, which is
      // this control's object: one of ours as well would be read twice.
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
