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

void WindowIcons::Set(HWND window, int dpi) {
  auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
  const auto set = [&](unique_hicon& held, WPARAM which, int width, int height) {
    // Not shared: the system's cache of shared icons hands out the first
    // size it loaded, whatever size is asked for.
    unique_hicon icon(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON,
                                                    GetSystemMetricsForDpi(width, static_cast<UINT>(dpi)),
                                                    GetSystemMetricsForDpi(height, static_cast<UINT>(dpi)), 0)));
    if (!icon) return;  // the window keeps the icon it has
    SendMessageW(window, WM_SETICON, which, reinterpret_cast<LPARAM>(icon.get()));
    held = std::move(icon);  // the old one goes once the window no longer shows it
  };
  set(big_, ICON_BIG, SM_CXICON, SM_CYICON);
  set(small_, ICON_SMALL, SM_CXSMICON, SM_CYSMICON);
}

}  // namespace salvanto::win
