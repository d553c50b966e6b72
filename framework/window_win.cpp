#include "framework/window.h"

#include "assets/resource.h"

namespace salvanto::win {

int WindowDpi(HWND window) {
  const auto dpi = static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(window, detail::kDpiProperty)));
  return dpi > 0 ? dpi : DpiOfWindow(window);
}

namespace detail {

void RememberDpi(HWND window, int dpi) {
  SetPropW(window, kDpiProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(dpi)));
}

int InitialDpi(HWND window, const CREATESTRUCTW& create) {
  return (create.style & WS_CHILD) && create.hwndParent ? WindowDpi(create.hwndParent) : DpiOfWindow(window);
}

}  // namespace detail

HICON ProgramIcon(HINSTANCE instance, int size) {
  // Shared icons are owned by the system: nothing to destroy.
  return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, size, size, LR_SHARED));
}

}  // namespace salvanto::win
