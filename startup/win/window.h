#pragma once
// The scratch-program shape: one window class per kind of window, one state
// object per window, reached from the window procedure through
// GWLP_USERDATA. The object is created before the window and handed over
// in CreateWindowEx's parameter; the window owns it from WM_NCCREATE on and
// deletes it on WM_NCDESTROY.
#include <windows.h>

#include "startup/win/control_ids.h"
#include "startup/win/platform_win.h"

namespace salvanto::win {

template <typename Derived>
class Window {
public:
  HWND hwnd() const { return hwnd_; }

  // Registers the class once; style bits and brush as the kind needs them.
  static bool Register(HINSTANCE instance, const wchar_t* className, UINT style, HBRUSH background,
                       HICON icon = nullptr, HCURSOR cursor = LoadCursorW(nullptr, IDC_ARROW)) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExW(instance, className, &wc)) return true;
    wc = {};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = &Window::Proc;
    wc.hInstance = instance;
    wc.hIcon = icon;
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    return RegisterClassExW(&wc) != 0;
  }

  // The state object of a window of this class, or null.
  static Derived* From(HWND window) {
    return reinterpret_cast<Derived*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  }

protected:
  Window() = default;
  virtual ~Window() = default;

  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd_, message, wParam, lParam);
  }

private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Derived* self = From(window);
    if (message == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
      self = static_cast<Derived*>(create->lpCreateParams);
      self->hwnd_ = window;
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    LRESULT result = Guarded([&] { return self->HandleMessage(message, wParam, lParam); });
    if (message == WM_NCDESTROY) {
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      self->hwnd_ = nullptr;
      delete self;
    }
    return result;
  }

  HWND hwnd_ = nullptr;
};

// The program's own icon, as the window classes show it.
HICON ProgramIcon(HINSTANCE instance, int size);

}  // namespace salvanto::win
