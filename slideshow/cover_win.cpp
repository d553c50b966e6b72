#include "slideshow/cover_win.h"

#include "base/control_ids.h"
#include "base/errors.h"

namespace salvanto::win {

Cover& Cover::Create(HWND owner, const PixelRect& monitor, CoverEvents& events) {
  auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE));
  Register(instance, kCoverClass, 0, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  auto* cover = new Cover(events);
  // Owned by Form1: above it in the z-order, and destroyed with it.
  HWND window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kCoverClass, L"", WS_POPUP, monitor.left, monitor.top,
                                monitor.width(), monitor.height(), owner, nullptr, instance, cover);
  if (!window) {
    throw RuntimeError(ErrorKind::InvalidPropertyValue, L"A cover of the other monitors could not be created.");
  }
  ShowWindow(window, SW_SHOWNOACTIVATE);
  return *cover;
}

LRESULT Cover::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsKeyOrButtonDown(message)) {
    events_.OnCoverKeyOrButton();
    return 0;
  }
  switch (message) {
    case WM_MOUSEACTIVATE:
      // A click ends the show; the keyboard stays with Form1 until then.
      return MA_NOACTIVATE;
    case WM_MOUSEMOVE:
      events_.OnCoverMouseMove(ScreenPoint(hwnd(), lParam));
      return 0;
    default:
      return Default(message, wParam, lParam);
  }
}

}  // namespace salvanto::win
