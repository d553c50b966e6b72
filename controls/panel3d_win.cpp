#include "controls/panel3d_win.h"

namespace salvanto::win {

Panel3D& Panel3D::Create(HWND parent, int id, PanelSettings settings, const PixelRect& rect, bool visible) {
  auto* panel = new Panel3D(std::move(settings));
  return CreateChild(parent, kPanelClass, CS_HREDRAW | CS_VREDRAW, panel, panel->settings_.Caption.c_str(),
                     WS_CLIPCHILDREN | WS_CLIPSIBLINGS | (visible ? WS_VISIBLE : 0), rect, id);
}

void Panel3D::SetCaption(const std::wstring& caption) { SetWindowTextW(hwnd(), caption.c_str()); }

std::wstring Panel3D::Caption() const {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd())) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(hwnd(), text.data(), static_cast<int>(text.size()))));
  return text;
}

void Panel3D::Paint(HDC target) {
  const PixelRect client = ClientPixels();
  // Off screen, so that a caption change never flickers.
  offscreen_canvas dc(target, client);
  if (!dc) return;
  PaintFills(dc.get(),
             PanelFills(client, settings_.BevelOuter, settings_.BevelInner, Scaled(settings_.BevelWidth),
                        Scaled(settings_.BorderWidth)),
             PartColour(settings_.BackColor, COLOR_WINDOW));

  DrawCaption(dc.get(), Caption(), client, font_.get(), PartColour(settings_.ForeColor, COLOR_WINDOWTEXT),
              CaptionFormat(settings_.Align));
}

LRESULT Panel3D::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (auto painted = HandlePaint(message, wParam)) return *painted;
  if (auto answer = accessible_.HandleMessage(hwnd(), message, wParam, lParam)) return *answer;
  switch (message) {
    case WM_CREATE:
      OnDpiChanged();
      return 0;
    case WM_SETTEXT: {
      // A new caption shows at once, and a screen reader hears it.
      LRESULT result = Default(message, wParam, lParam);
      RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
      NotifyAccessible(hwnd(), EVENT_OBJECT_NAMECHANGE);
      return result;
    }
    case WM_COMMAND:
    case WM_NOTIFY:
      // A container passes its children's notifications on to its window.
      return SendMessageW(GetParent(hwnd()), message, wParam, lParam);
    default:
      return Default(message, wParam, lParam);
  }
}

}  // namespace salvanto::win
