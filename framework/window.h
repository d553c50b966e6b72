#pragma once
// The scratch-program shape: one window class per kind of window, one state
// object per window, reached from the window procedure through
// GWLP_USERDATA. The object is created before the window and handed over
// in CreateWindowEx's parameter; the window owns it from WM_NCCREATE on and
// deletes it after WM_NCDESTROY, once no handler of it is running.
//
// Every window also knows the display density it is drawn at: a top-level
// window starts at its monitor's, a control takes its parent's, and
// WM_DPICHANGED moves a top-level window to a new one. Everything sized in
// pixels at 96 DPI is scaled through Scaled().
#include <windows.h>

#include <optional>
#include <string>

#include "base/control_ids.h"
#include "base/twips.h"
#include "framework/handles.h"
#include "framework/platform_win.h"

namespace salvanto::win {

// The density a window of ours is drawn at (its monitor's for any other).
int WindowDpi(HWND window);

// A key or a mouse button going down: what ends the show wherever it lands.
inline bool IsKeyOrButtonDown(UINT message) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
      return true;
    default:
      return false;
  }
}

// The platform's rectangle of a rectangle in pixels.
inline RECT ToRect(const PixelRect& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

// A mouse message's point (client coordinates in lParam) on the screen.
inline Point ScreenPoint(HWND window, LPARAM lParam) {
  POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  ClientToScreen(window, &point);
  return {point.x, point.y};
}

namespace detail {
// Where a window keeps its density for the controls created in it.
inline constexpr wchar_t kDpiProperty[] = L"Salvanto.Dpi";
void RememberDpi(HWND window, int dpi);
int InitialDpi(HWND window, const CREATESTRUCTW& create);
}  // namespace detail

template <typename Derived>
class Window {
public:
  HWND hwnd() const { return hwnd_; }
  int Dpi() const { return dpi_; }
  // A length in pixels at 96 DPI, at this window's density.
  int Scaled(int pixelsAt96) const { return MulDiv(pixelsAt96, dpi_, 96); }
  // A rectangle of the design, in twips, at the window's density.
  PixelRect Pixels(const TwipRect& rect) const { return ToPixels(rect, TwipsPerPixel(dpi_)); }
  PixelRect ClientPixels() const {
    RECT client{};
    GetClientRect(hwnd_, &client);
    return {client.left, client.top, client.right, client.bottom};
  }
  bool HasFocus() const { return GetFocus() == hwnd_; }

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
  static Derived* From(HWND window) { return reinterpret_cast<Derived*>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

  // Moves a control to a new density (its window's, after WM_DPICHANGED):
  // it makes its fonts again and repaints.
  void SetDpi(int dpi) {
    dpi_ = dpi;
    detail::RememberDpi(hwnd_, dpi);
    if constexpr (requires(Derived & d) { d.OnDpiChanged(); }) static_cast<Derived*>(this)->OnDpiChanged();
    InvalidateRect(hwnd_, nullptr, FALSE);
  }

protected:
  Window() = default;
  virtual ~Window() = default;

  // Creates a control of this kind as a child of parent; from then on the
  // window owns self. The class is registered on first use.
  static Derived& CreateChild(HWND parent, const wchar_t* className, UINT classStyle, Derived* self,
                              const wchar_t* text, DWORD style, const PixelRect& rect, int id) {
    auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    Register(instance, className, classStyle, nullptr);
    HWND window =
        CreateWindowExW(0, className, text, WS_CHILD | style, rect.left, rect.top, rect.width(), rect.height(), parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, self);
    // A window that failed after WM_NCCREATE has already deleted self; one
    // that failed before has not, but the error ends the program anyway.
    if (!window) {
      throw RuntimeError(ErrorKind::InvalidPropertyValue,
                         std::wstring(L"A control of the window (") + className + L") could not be created.");
    }
    return *self;
  }

  // WM_ERASEBKGND, WM_PAINT and WM_PRINTCLIENT for a control whose
  // Paint(HDC) covers every pixel: the message's result when it was one of
  // them, nothing otherwise.
  std::optional<LRESULT> HandlePaint(UINT message, WPARAM wParam) {
    switch (message) {
      case WM_ERASEBKGND:
        return 1;
      case WM_PAINT: {
        paint_scope paint(hwnd_);
        static_cast<Derived*>(this)->Paint(paint.get());
        return 0;
      }
      case WM_PRINTCLIENT:
        static_cast<Derived*>(this)->Paint(reinterpret_cast<HDC>(wParam));
        return 0;
      default:
        return std::nullopt;
    }
  }

  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) { return DefWindowProcW(hwnd_, message, wParam, lParam); }

private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Derived* self = From(window);
    if (message == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
      self = static_cast<Derived*>(create->lpCreateParams);
      self->hwnd_ = window;
      self->dpi_ = detail::InitialDpi(window, *create);
      detail::RememberDpi(window, self->dpi_);
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    // Under a fatal error's box nothing moves: no timer, display change or
    // density change reaches a window, so nothing is laid out or made anew
    // (above the box, enabled) before the box's OK ends the program, and an
    // error that laying out raised is not raised again.
    if (IsEnding() && (message == WM_TIMER || message == WM_DISPLAYCHANGE || message == WM_DPICHANGED)) return 0;
    if (message == WM_DPICHANGED && self) {
      // Known before the window's own handling lays itself out again.
      self->dpi_ = LOWORD(wParam) > 0 ? LOWORD(wParam) : self->dpi_;
      detail::RememberDpi(window, self->dpi_);
    }
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    // A window can be destroyed while one of its own handlers is still on
    // the stack (a close that arrives through a message box's loop): the
    // state object then lives until that outermost handler has returned.
    ++self->activeCalls_;
    LRESULT result = Guarded([&] { return self->HandleMessage(message, wParam, lParam); });
    if (message == WM_NCDESTROY) {
      RemovePropW(window, detail::kDpiProperty);
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      self->hwnd_ = nullptr;
      self->destroyed_ = true;
    }
    if (--self->activeCalls_ == 0 && self->destroyed_) delete self;
    return result;
  }

  HWND hwnd_ = nullptr;
  int dpi_ = 96;
  int activeCalls_ = 0;
  bool destroyed_ = false;
};

// The program's own icon, as the window classes show it.
HICON ProgramIcon(HINSTANCE instance, int size);

// The program's icon on a top-level window, at the sizes the system gives
// big and small icons at the window's density; Set again at a new density.
// The icons live as long as the window's state object, which outlives the window.
class WindowIcons {
public:
  void Set(HWND window, int dpi);

private:
  unique_hicon big_, small_;
};

}  // namespace salvanto::win
